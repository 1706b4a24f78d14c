// SPDX-License-Identifier: GPL-3.0-or-later
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "batch/engine_start.h"
#include "cli/cli_options.h"
#include "cli/cli_run.h"
#include "core/config_store.h"
#include "core/log.h"

namespace {

void OnInterrupt(int) { brisklo::cli::g_interrupted = true; }

// Whether standard error is a terminal, and its width ($COLUMNS, else 80, when
// the terminal does not say).
brisklo::cli::Terminal StandardErrorTerminal() {
    brisklo::cli::Terminal terminal;
    terminal.isTerminal = ::isatty(STDERR_FILENO) == 1;
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
        terminal.columns = size.ws_col;
    } else if (const char* columns = std::getenv("COLUMNS")) {
        terminal.columns = std::max(std::atoi(columns), 0);
        if (terminal.columns == 0) terminal.columns = 80;
    }
    return terminal;
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    auto options = brisklo::cli::ParseCliOptions(args);
    if (!options) {
        std::fprintf(stderr, "brisklo-cli: %s\n", options.error().message.c_str());
        return 2;
    }
    if (options.value().help) {
        std::fputs(brisklo::cli::UsageText().c_str(), stdout);
        return 0;
    }
    if (options.value().version) {
        std::printf("brisklo-cli %s\n", BRISKLO_VERSION);
        return 0;
    }

    // Before anything can log (reading the settings may warn): standard output may
    // carry the JSON document and nothing else.
    brisklo::SetLogTarget(options.value().verbose ? brisklo::LogTarget::StandardError
                                                  : brisklo::LogTarget::Silent);

    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    brisklo::PrepareEngine("cli");

    // One read of the settings file serves the whole run.
    const auto settings = brisklo::ConfigStore::Instance().Snapshot();
    return brisklo::cli::RunBatch(options.value(), *settings, StandardErrorTerminal());
}
