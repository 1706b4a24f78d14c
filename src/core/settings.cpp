// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings.h"

#include <array>

namespace brisklo {
namespace {

using enum SettingType;

constexpr std::array<SettingInfo, 33> kSettings = {{
    {Setting::OutputDir, "output-dir", Text, 0, "", 0, 0},
    {Setting::OutputDirType, "output-dir-type", Integer, 0, "", 0, 2147483647},
    {Setting::CompressType, "compress-type", Integer, 0, "", 0, 2},
    {Setting::VideoType, "video-type", Integer, 0, "", 0, 3},
    {Setting::VideoRatioIndex, "video-ratio-index", Integer, 0, "", 0, 12},
    {Setting::VideoRatioWidth, "video-ratio-width", Integer, 0, "", 0, 16384},
    {Setting::VideoRatioHeight, "video-ratio-height", Integer, 0, "", 0, 16384},
    {Setting::AudioChannel, "audio-channel", Integer, 2, "", 1, 2},
    {Setting::AudioSampleRate, "audio-sample-rate", Integer, 44100, "", 7350, 96000},
    {Setting::AudioBitrate, "audio-bitrate", Integer, 128000, "", 64000, 320000},
    {Setting::AudioChannelIndex, "audio-channel-index", Integer, 0, "", 0, 1},
    {Setting::AudioSampleRateIndex, "audio-sample-rate-index", Integer, 4, "", 0, 12},
    {Setting::AudioBitrateIndex, "audio-bitrate-index", Integer, 1, "", 0, 3},
    {Setting::ImageCompressType, "image-compress-type", Integer, 0, "", 0, 2},
    {Setting::ImageType, "image-type", Integer, 0, "", 0, 2147483647},
    {Setting::ImageRatioIndex, "image-ratio-index", Integer, 0, "", 0, 5},
    {Setting::ImageDefineParam, "image-define-param", Integer, 0, "", 0, 2147483647},
    {Setting::GifDefineParam, "gif-define-param", Integer, 0, "", 0, 2147483647},
    {Setting::GifDropFrameIndex, "gif-drop-frame-index", Integer, 0, "", 0, 4},
    {Setting::WindowClose, "window-close", Integer, 0, "", 0, 2147483647},
    {Setting::ServiceUrl, "service-url", Text, 0, kDefaultServiceUrl, 0, 0},
    // Seconds without progress and without output growth before an encode is ended.
    {Setting::EncoderStallSeconds, "encoder-stall-seconds", Integer, 120, "", 0, 86400},
    // 1: an output not smaller than its source is replaced by a copy of the source.
    {Setting::KeepOriginalIfLarger, "keep-original-if-larger", Integer, 1, "", 0, 1},
    // The source is kept when the output saves less than this share of it.
    {Setting::MinSavingPercent, "min-saving-percent", Integer, 0, "", 0, 99},
    // 1: videos are fitted under a size instead of encoded at the level's quality.
    {Setting::VideoTargetOn, "video-target-on", Integer, 0, "", 0, 1},
    // Row of the size choice: the presets, the custom size, the share of the source.
    {Setting::VideoTargetIndex, "video-target-index", Integer, 0, "", 0, 6},
    {Setting::VideoTargetCustomMb, "video-target-custom-mb", Integer, 20, "", 1, 1000000},
    {Setting::VideoTargetPercent, "video-target-percent", Integer, 50, "", 1, 99},
    // 1: each image is made to fit under image-target-kb.
    {Setting::ImageTargetOn, "image-target-on", Integer, 0, "", 0, 1},
    {Setting::ImageTargetKb, "image-target-kb", Integer, 200, "", 1, 1000000},
    // 1: a photo keeps its EXIF (date taken, camera, lens); its GPS position only with
    // keep-photo-location as well.
    {Setting::KeepPhotoInfo, "keep-photo-info", Integer, 0, "", 0, 1},
    {Setting::KeepPhotoLocation, "keep-photo-location", Integer, 0, "", 0, 1},
    {Setting::IncludeSubfolders, "include-subfolders", Integer, 0, "", 0, 1},
}};

// The table is in enum order, so a setting is its own index.
constexpr bool InEnumOrder() {
    for (std::size_t i = 0; i < kSettings.size(); ++i) {
        if (static_cast<std::size_t>(kSettings[i].id) != i) return false;
    }
    return true;
}
static_assert(InEnumOrder());

}  // namespace

const SettingInfo& Describe(Setting setting) {
    return kSettings[static_cast<std::size_t>(setting)];
}

}  // namespace brisklo
