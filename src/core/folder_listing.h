// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <system_error>
#include <vector>

#include "core/media_kinds.h"

namespace brisklo {

// The files directly in folder (not in its sub-folders) whose extension is one of
// kind's, each once, in name order. Only regular files (or links to one) count:
// a sub-folder named "x.mp4" is not a video. error is set when the folder cannot
// be listed; the files found before a failure are still given.
std::vector<std::filesystem::path> ListMediaFiles(const std::filesystem::path& folder,
                                                  MediaKind kind, std::error_code& error);

}  // namespace brisklo
