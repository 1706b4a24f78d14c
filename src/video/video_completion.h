#pragma once

#include <any>
#include <cstdint>
#include <optional>
#include <string>

#include "core/messages.h"

namespace brisklo {

class VideoTaskModel;
class VideoView;

// Ends video tasks on the encoder's messages, on the thread that receives them:
// progress moves the row, success measures the output and shows the saving,
// failure shows the error; both finish the task so the worker takes the next.
class VideoCompletion {
  public:
    VideoCompletion(VideoTaskModel& model, VideoView& view) : m_model(model), m_view(view) {}

    // Handles EncodeProgress, EncodeSucceeded and EncodeFailed; false for others.
    bool Dispatch(MessageId id, const std::any& payload);

  private:
    void OnSucceeded(std::int32_t taskId, const std::string& outputPath, const std::string& warning,
                     bool keptOriginal);
    void OnFailed(std::int32_t taskId, const std::string& reason);

    VideoTaskModel& m_model;
    VideoView& m_view;
};

}  // namespace brisklo
