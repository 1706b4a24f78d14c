// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>

#include "core/media_options.h"
#include "image/image_size_check.h"

namespace brisklo {
class SettingsSource;

namespace app {

// What the main window's option controls show, copied on the UI thread each time
// one changes. An option group with nothing selected (a stored value out of
// range) has no value; a combo without a current item has index -1.
struct ShownOptions {
    std::optional<int> videoLevel;
    std::optional<int> videoContainer;
    int videoRatioIndex = 0;
    std::optional<std::int32_t> customQuality;  // the slider, when its check box is on
    bool balanced = false;
    bool qualityFirst = false;
    bool videoTargetOn = false;
    int videoTargetIndex = 0;  // row of "video-target-size"
    int videoTargetValue = 0;  // the custom MB or the percentage, by the row
    std::optional<int> imageLevel;
    std::optional<int> imageOutput;
    int imageRatioIndex = 0;
    bool gifDropOn = false;
    int gifDropIndex = 0;
    CustomSizeFields sizeFields;
    bool imageTargetOn = false;
    int imageTargetKb = 0;
};

// Answers the workers' "which options now?" for the main window: what its option
// controls show, from the copy the window keeps current, so a worker never waits
// on the UI thread. What the window does not show (the audio of the settings
// dialog: audio, what a photo keeps) comes from the settings.
class DesktopOptions : public VideoOptionsProvider, public ImageOptionsProvider {
  public:
    explicit DesktopOptions(const SettingsSource& settings) : m_settings(settings) {}

    VideoOptions CurrentVideoOptions() override;
    ImageOptions CurrentImageOptions() override;

    // The controls as they are now (UI thread).
    void Keep(const ShownOptions& shown);
    ShownOptions Shown() const;

  private:
    const SettingsSource& m_settings;
    mutable std::mutex m_mutex;
    ShownOptions m_shown;
};

}  // namespace app
}  // namespace brisklo
