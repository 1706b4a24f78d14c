// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "batch/task_board.h"
#include "core/task_view.h"

namespace brisklo {

// Stands between the workers and a front end's list: every change of a task's
// state is written on the session's board, then shown by the front end. A
// failure that is the user's stop is shown as stopped.
class TrackedView : public TaskView {
  public:
    TrackedView(TaskBoard& board, TaskView& front) : m_board(board), m_front(front) {}

    void ShowRunning(std::int32_t taskId) override;
    void ShowFinished(std::int32_t taskId, const TaskOutcome& outcome) override;
    void ShowFailed(std::int32_t taskId, const TaskFailure& failure) override;
    void ShowState(std::int32_t taskId, TaskState state) override;

  private:
    TaskBoard& m_board;
    TaskView& m_front;
};

}  // namespace brisklo
