#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/cli_run.h"
#include "core/config_store.h"
#include "core/temp_area.h"

namespace {

void OnInterrupt(int) { brisklo::cli::g_interrupted = true; }

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

    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // A closed pipe on standard output is a write error, not a silent death.
    signal(SIGPIPE, SIG_IGN);
    // Likewise a file-size limit (ulimit -f): the write fails with EFBIG and the task
    // fails like on a full disk, instead of the whole run dying without a summary.
    signal(SIGXFSZ, SIG_IGN);

    brisklo::SetRunName("cli");
    brisklo::CleanLeftovers(brisklo::TemporaryRoot(), brisklo::ConfigStore::Instance().path());

    // One read of the settings file serves the whole run.
    const auto settings = brisklo::ConfigStore::Instance().Snapshot();
    return brisklo::cli::RunBatch(options.value(), *settings, ::isatty(STDERR_FILENO) == 1);
}
