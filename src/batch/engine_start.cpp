// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/engine_start.h"

#include <csignal>

#include "core/config_store.h"
#include "core/temp_area.h"

namespace brisklo {

void PrepareEngine(std::string_view runName) {
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
    SetRunName(runName);
    CleanLeftovers(TemporaryRoot(), ConfigStore::Instance().path());
}

}  // namespace brisklo
