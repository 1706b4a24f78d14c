// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>

#include "core/task_failure.h"
#include "core/task_outcome.h"
#include "core/task_state.h"

namespace brisklo {

// A task's state with what belongs to it.
struct TaskStatus {
    TaskState state = TaskState::Idle;
    // Waiting: 1 for the next task of its list to run, and so on.
    std::size_t queuePlace = 0;
    // Done or kept original: the measured output.
    std::optional<TaskOutcome> outcome;
    // Failed: why.
    TaskFailure failure;
};

}  // namespace brisklo
