// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

#include "core/task_view.h"

namespace brisklo {

// The video list: the task states, and the running encode's progress.
class VideoView : public TaskView {
  public:
    // percent is none while the duration is unknown; speed 0 while unknown.
    virtual void ShowProgress(std::int32_t taskId, std::optional<int> percent, float speed) = 0;
};

}  // namespace brisklo
