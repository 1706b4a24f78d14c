// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>

#include "cli/cli_options.h"

namespace brisklo {
class SettingsSource;
}

namespace brisklo::cli {

// Set by the SIGINT/SIGTERM handler; the run stops its batch when it sees it.
extern std::atomic<bool> g_interrupted;

// Where the run reports to: whether standard error is a terminal, and its width.
struct Terminal {
    bool isTerminal = false;
    int columns = 80;
};

// Compresses everything the options name and reports it. Returns the exit
// status: 0 all succeeded, 1 any failed, 130 interrupted.
int RunBatch(const CliOptions& options, const SettingsSource& settings, Terminal terminal);

}  // namespace brisklo::cli
