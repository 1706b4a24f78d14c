// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/media_options.h"

#include <algorithm>
#include <array>
#include <iterator>

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
    if (settings.GetValid(Setting::VideoTargetOn) != 0) {
        options.target = TargetFromChoice(settings.GetValid(Setting::VideoTargetIndex),
                                          settings.GetValid(Setting::VideoTargetCustomMb),
                                          settings.GetValid(Setting::VideoTargetPercent));
    }
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
    if (settings.GetValid(Setting::ImageTargetOn) != 0) {
        options.targetBytes = std::int64_t{settings.GetValid(Setting::ImageTargetKb)} * kKilobyte;
    }
    options.photo.keepExif = settings.GetValid(Setting::KeepPhotoInfo) != 0;
    options.photo.keepLocation = settings.GetValid(Setting::KeepPhotoLocation) != 0;
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
    // The task's own choice of quality: its level, or a size it must fit under.
    options.target.reset();
    if (param.targetKind == 1 && param.targetKb > 0) {
        options.target = VideoTarget{VideoTarget::Kind::Bytes, param.targetKb * kKilobyte, 0};
    } else if (param.targetKind == 2 && param.targetPercent >= 1 && param.targetPercent <= 99) {
        options.target = VideoTarget{VideoTarget::Kind::Percent, 0, param.targetPercent};
    }
    return options;
}

const char* EncoderPreset(const VideoOptions& options) {
    if (options.qualityFirst) return "slow";
    return options.balanced ? "fast" : "ultrafast";
}

std::int64_t TargetBytes(const VideoTarget& target, std::int64_t sourceSize) {
    if (target.kind == VideoTarget::Kind::Bytes) return target.bytes;
    return sourceSize / 100 * target.percent + sourceSize % 100 * target.percent / 100;
}

VideoTarget TargetFromChoice(std::int32_t row, std::int32_t customMb, std::int32_t percent) {
    constexpr auto kPresets = std::size(kVideoTargetPresetsMb);
    if (row >= 0 && static_cast<std::size_t>(row) < kPresets) {
        return {VideoTarget::Kind::Bytes, kVideoTargetPresetsMb[row] * kMegabyte, 0};
    }
    if (static_cast<std::size_t>(row) == kPresets + 1) {
        return {VideoTarget::Kind::Percent, 0, std::clamp(percent, 1, 99)};
    }
    return {VideoTarget::Kind::Bytes, std::max(customMb, 1) * kMegabyte, 0};
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
