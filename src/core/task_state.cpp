// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/task_state.h"

#include <array>
#include <cstddef>

namespace brisklo {

std::string_view StateName(TaskState state) {
    static constexpr std::array<std::string_view, 8> kNames = {
        "idle", "waiting", "running", "done", "kept-original", "failed", "stopped", "cancelled"};
    const auto index = static_cast<std::size_t>(state);
    return index < kNames.size() ? kNames[index] : "unknown";
}

bool HasEnded(TaskState state) {
    return state != TaskState::Idle && state != TaskState::Waiting && state != TaskState::Running;
}

}  // namespace brisklo
