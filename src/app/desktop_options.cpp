// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/desktop_options.h"

#include "core/option_tables.h"
#include "core/settings_source.h"

namespace brisklo::app {
namespace {

// A selection that shows nothing gives the option's first value, as a stored
// value out of range does.
template <class Enum>
Enum Chosen(const std::optional<int>& shown) {
    return static_cast<Enum>(shown.value_or(0));
}

}  // namespace

VideoOptions DesktopOptions::CurrentVideoOptions() {
    VideoOptions options = VideoOptionsFromSettings(m_settings);
    const ShownOptions shown = Shown();
    options.level = Chosen<CompressionLevel>(shown.videoLevel);
    options.container = Chosen<VideoContainer>(shown.videoContainer);
    const int ratio = shown.videoRatioIndex;
    options.size = ratio >= 0 && ratio < static_cast<int>(kResolutions.size())
                       ? PixelSize{kResolutions[ratio].width, kResolutions[ratio].height}
                       : PixelSize{};
    options.customQuality = shown.customQuality;
    options.balanced = shown.balanced;
    options.qualityFirst = shown.qualityFirst;
    options.target.reset();
    if (shown.videoTargetOn) {
        options.target = TargetFromChoice(shown.videoTargetIndex, shown.videoTargetValue,
                                          shown.videoTargetValue);
    }
    return options;
}

ImageOptions DesktopOptions::CurrentImageOptions() {
    const ShownOptions shown = Shown();
    // What a photo keeps is chosen in the settings dialog.
    ImageOptions options = ImageOptionsFromSettings(m_settings, 0, 0);
    options.customSize.reset();
    options.gifDropIndex.reset();
    options.targetBytes.reset();
    options.level = Chosen<CompressionLevel>(shown.imageLevel);
    options.output = Chosen<ImageOutput>(shown.imageOutput);
    options.scaleStep =
        shown.imageRatioIndex >= 0 && shown.imageRatioIndex <= 5 ? shown.imageRatioIndex : 0;
    if (shown.sizeFields.enabled) {
        options.customSize = PixelSize{SizeFieldValue(shown.sizeFields.width),
                                       SizeFieldValue(shown.sizeFields.height)};
    }
    if (shown.gifDropOn && shown.gifDropIndex >= 0 && shown.gifDropIndex <= 4) {
        options.gifDropIndex = shown.gifDropIndex;
    }
    if (shown.imageTargetOn && shown.imageTargetKb > 0) {
        options.targetBytes = std::int64_t{shown.imageTargetKb} * kKilobyte;
    }
    return options;
}

void DesktopOptions::Keep(const ShownOptions& shown) {
    std::lock_guard lock(m_mutex);
    m_shown = shown;
}

ShownOptions DesktopOptions::Shown() const {
    std::lock_guard lock(m_mutex);
    return m_shown;
}

}  // namespace brisklo::app
