#pragma once

#include <cstdint>
#include <string>

#include "core/task_outcome.h"

namespace brisklo {

// How a list shows its tasks' states; the desktop program and the command line
// each implement it and own every text shown. ShowRunning is called on the
// worker's thread and must hand its change on without waiting for the UI thread;
// the others are called on the thread that handles the workers' messages.
class TaskView {
  public:
    virtual ~TaskView() = default;

    virtual void ShowRunning(std::int32_t taskId) = 0;
    // The output was measured; outcome.ok() is true.
    virtual void ShowFinished(std::int32_t taskId, const TaskOutcome& outcome) = 0;
    // reason names the file and says what went wrong.
    virtual void ShowFailed(std::int32_t taskId, const std::string& reason) = 0;
};

}  // namespace brisklo
