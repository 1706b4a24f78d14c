// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

#include "core/task_failure.h"
#include "core/task_outcome.h"
#include "core/task_state.h"

namespace brisklo::app {

// What one row of a task list shows; the row's widgets are made from it whenever
// the row scrolls into view.
struct TaskRowData {
    std::int32_t id = 0;
    QString name;      // the file's name
    QString fullPath;  // the source, the name's tooltip
    std::int64_t size = 0;
    QString duration;  // videos: "00:01:02" once probed, empty before
    bool checked = true;
    bool ownParameters = false;  // videos: the task has its own parameters
    TaskState state = TaskState::Idle;
    // Running videos: the share encoded; none while the length is unknown.
    std::optional<int> percent;
    // Done or kept original.
    std::optional<TaskOutcome> outcome;
    // Failed.
    TaskFailure failure;
};

}  // namespace brisklo::app
