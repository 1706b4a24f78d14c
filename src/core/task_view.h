// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

#include "core/task_failure.h"
#include "core/task_outcome.h"
#include "core/task_state.h"

namespace brisklo {

// How a list shows its tasks' states; the desktop program and the command line
// each implement it and own every text shown. ShowRunning is called on the
// worker's thread and must hand its change on without waiting for the UI thread;
// the others are called on the thread that owns the batch (it queues, stops and
// handles the workers' messages).
class TaskView {
  public:
    virtual ~TaskView() = default;

    virtual void ShowRunning(std::int32_t taskId) = 0;
    // The output was measured; outcome.ok() is true.
    virtual void ShowFinished(std::int32_t taskId, const TaskOutcome& outcome) = 0;
    virtual void ShowFailed(std::int32_t taskId, const TaskFailure& failure) = 0;
    // The states the user's actions give: Waiting (queued for a free slot),
    // Stopped (while it ran; nothing of it was kept) or Cancelled (taken off the
    // waiting list before it ran).
    virtual void ShowState(std::int32_t taskId, TaskState state) = 0;
};

}  // namespace brisklo
