// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace brisklo {

// What both programs do before their first batch: a file-size limit (ulimit -f)
// or a closed pipe becomes a failed write instead of a killed process; the run's
// temporary folder is named after the program; and what a killed earlier run
// left in the temporary area is removed (never a live run's files).
void PrepareEngine(std::string_view runName);

}  // namespace brisklo
