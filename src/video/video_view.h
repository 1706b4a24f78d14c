#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/saving.h"
#include "video/encoder_command.h"

namespace brisklo {

// What a finished video row shows.
struct VideoResult {
    std::string outputPath;
    std::int64_t sourceSize = 0;
    std::int64_t outputSize = 0;
    std::optional<float> saving;  // none for a source of 0 bytes
    std::string sizeText;         // FormatFileSize of the output
    std::string savingText;       // "%.2f%%", empty without a saving
    std::uint32_t savingColor = kSavingColor;
    // The output did not pay: outputPath is a copy of the source (saving 0 %).
    bool keptOriginal = false;
};

// How the video list shows its tasks; the desktop program and the command line
// each implement it. ShowRunning and ReadOptions are called on the video
// worker's thread, the others on the thread that handles the posted messages.
class VideoView {
  public:
    virtual ~VideoView() = default;

    virtual void ShowRunning(std::int32_t taskId) = 0;
    // The option controls as they are at this moment.
    virtual VideoOptionValues ReadOptions() = 0;

    // percent is none while the duration is unknown; speed 0 while unknown.
    virtual void ShowProgress(std::int32_t taskId, std::optional<int> percent, float speed) = 0;
    virtual void ShowFinished(std::int32_t taskId, const VideoResult& result) = 0;
    virtual void ShowFailed(std::int32_t taskId, const std::string& reason) = 0;
};

}  // namespace brisklo
