// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/tracked_view.h"

namespace brisklo {

void TrackedView::ShowRunning(std::int32_t taskId) {
    m_board.SetRunning(taskId, TaskBoard::Clock::now());
    m_front.ShowRunning(taskId);
}

void TrackedView::ShowFinished(std::int32_t taskId, const TaskOutcome& outcome) {
    m_board.SetSucceeded(taskId, outcome, TaskBoard::Clock::now());
    m_front.ShowFinished(taskId, outcome);
}

void TrackedView::ShowFailed(std::int32_t taskId, const TaskFailure& failure) {
    if (failure.code == FailureCode::Stopped) {
        ShowState(taskId, TaskState::Stopped);
        return;
    }
    m_board.SetFailed(taskId, failure, TaskBoard::Clock::now());
    m_front.ShowFailed(taskId, failure);
}

void TrackedView::ShowState(std::int32_t taskId, TaskState state) {
    switch (state) {
        case TaskState::Waiting:
            m_board.SetWaiting(taskId);
            break;
        case TaskState::Stopped:
            m_board.SetStopped(taskId);
            break;
        case TaskState::Cancelled:
            m_board.SetCancelled(taskId);
            break;
        default:
            return;  // the workers' own states come through the calls above
    }
    m_front.ShowState(taskId, state);
}

}  // namespace brisklo
