// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/media_kinds.h"
#include "core/task_state.h"

namespace brisklo::cli {

// One task of the run and how it ended.
struct TaskRecord {
    std::string source;
    MediaKind kind = MediaKind::Video;  // Unknown for a path refused before it became a task
    std::int64_t sourceSize = 0;
    TaskState state = TaskState::Idle;
    std::string output;
    std::int64_t outputSize = 0;
    std::optional<float> saving;
    std::string sizeText;    // the row's size text of the output
    std::string savingText;  // "75.00%", empty without a saving
    std::string error;
    std::string warning;  // a success that may be incomplete says why
    bool grew = false;    // delivered although larger than the source (see TaskOutcome)

    // Done, or the original kept.
    bool ok() const { return state == TaskState::Done || state == TaskState::KeptOriginal; }
    bool keptOriginal() const { return state == TaskState::KeptOriginal; }
};

}  // namespace brisklo::cli
