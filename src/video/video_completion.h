// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "core/task_failure.h"

namespace brisklo {

class VideoTaskModel;
class TaskView;
struct EncodeDone;
struct EncodeFailure;

// Ends video tasks on the encoder's messages, on the thread that receives them:
// success measures the output and shows the saving, failure shows the error;
// both finish the task so the worker takes the next.
class VideoCompletion {
  public:
    VideoCompletion(VideoTaskModel& model, TaskView& view) : m_model(model), m_view(view) {}

    void OnSucceeded(const EncodeDone& done);
    void OnFailed(const EncodeFailure& failure);

  private:
    void Fail(std::int32_t taskId, TaskFailure failure);

    VideoTaskModel& m_model;
    TaskView& m_view;
};

}  // namespace brisklo
