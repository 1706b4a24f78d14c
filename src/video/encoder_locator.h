// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>

namespace brisklo {

// The encoder program: "ffmpeg" beside the running executable, else the first
// executable "ffmpeg" on PATH, else the bare name (starting it then fails with a
// message that names it).
std::filesystem::path FindEncoder();

}  // namespace brisklo
