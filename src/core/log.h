// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>

namespace brisklo {

// Where diagnostic lines go. The desktop program writes them into its log file
// (standard output with --verbose); the command-line program moves them to
// standard error (its standard output may carry JSON) or silences them.
enum class LogTarget { StandardOutput, StandardError, File, Silent };

// StandardOutput until told otherwise (both programs choose at start). Use
// SetLogFile for LogTarget::File.
void SetLogTarget(LogTarget target);
LogTarget GetLogTarget();

// Appends the lines to file from now on, creating its folder. A file grown past
// 1 MiB starts afresh, the previous one kept beside it as NAME.old. False when it
// cannot be opened; the target stays as it was.
bool SetLogFile(const std::filesystem::path& file);

// printf-style line log; the format carries its own line end.
void LogLine(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace brisklo
