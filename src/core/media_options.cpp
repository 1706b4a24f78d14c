// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/media_options.h"

#include <array>

#include "core/settings_source.h"

namespace brisklo {

VideoOptions VideoOptionsFromSettings(const SettingsSource& source) {
    // The settings file read once for all the values below.
    const auto snapshot = source.Snapshot();
    const SettingsSource& settings = *snapshot;
    VideoOptions options;
    options.level = static_cast<CompressionLevel>(settings.GetValid(Setting::CompressType));
    options.container = static_cast<VideoContainer>(settings.GetValid(Setting::VideoType));
    options.size = {settings.GetValid(Setting::VideoRatioWidth),
                    settings.GetValid(Setting::VideoRatioHeight)};
    options.channels = settings.GetValid(Setting::AudioChannel);
    options.sampleRate = settings.GetValid(Setting::AudioSampleRate);
    options.bitrate = settings.GetValid(Setting::AudioBitrate);
    return options;
}

ImageOptions ImageOptionsFromSettings(const SettingsSource& source, std::int32_t customWidth,
                                      std::int32_t customHeight) {
    const auto snapshot = source.Snapshot();
    const SettingsSource& settings = *snapshot;
    ImageOptions options;
    options.level = static_cast<CompressionLevel>(settings.GetValid(Setting::ImageCompressType));
    options.output =
        settings.GetValid(Setting::ImageType) != 0 ? ImageOutput::Jpeg : ImageOutput::KeepFormat;
    options.scaleStep = settings.GetValid(Setting::ImageRatioIndex);
    if (settings.GetValid(Setting::ImageDefineParam) != 0) {
        options.customSize = PixelSize{customWidth, customHeight};
    }
    if (settings.GetValid(Setting::GifDefineParam) != 0) {
        options.gifDropIndex = settings.GetValid(Setting::GifDropFrameIndex);
    }
    return options;
}

namespace {

// A stored code outside the enum's values counts as its first value.
template <class Enum>
Enum FromCode(std::int32_t code, std::int32_t last) {
    return static_cast<Enum>(code >= 0 && code <= last ? code : 0);
}

}  // namespace

VideoOptions WithTaskParameters(VideoOptions options, const TaskParam& param) {
    options.level = FromCode<CompressionLevel>(param.compressType, 2);
    options.container = FromCode<VideoContainer>(param.videoType, 3);
    options.size = {param.width, param.height};
    options.channels = param.channel;
    options.sampleRate = param.sampleRate;
    options.bitrate = param.bitrate;
    return options;
}

std::int32_t EncoderQuality(const VideoOptions& options) {
    constexpr std::array<std::int32_t, 3> kQualities = {28, 34, 38};
    return options.customQuality.value_or(kQualities[LevelIndex(options.level)]);
}

const char* ContainerExtension(VideoContainer container) {
    constexpr std::array<const char*, 4> kExtensions = {"mp4", "flv", "mov", "mkv"};
    return kExtensions[static_cast<std::size_t>(container)];
}

}  // namespace brisklo
