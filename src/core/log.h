// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace brisklo {

// Where diagnostic lines go. The desktop program keeps standard output; the
// command-line program moves them to standard error (its standard output may
// carry JSON) or silences them.
enum class LogTarget { StandardOutput, StandardError, Silent };

void SetLogTarget(LogTarget target);
LogTarget GetLogTarget();

// printf-style line log; the format carries its own line end.
void LogLine(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace brisklo
