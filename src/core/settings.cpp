#include "core/settings.h"

#include <array>

namespace brisklo {
namespace {

using enum SettingType;

constexpr std::array<SettingInfo, 22> kSettings = {{
    {Setting::OutputDir, "output-dir", Text, 0, ""},
    {Setting::OutputDirType, "output-dir-type", Integer, 0, ""},
    {Setting::CompressType, "compress-type", Integer, 0, ""},
    {Setting::VideoType, "video-type", Integer, 0, ""},
    {Setting::VideoRatioIndex, "video-ratio-index", Integer, 0, ""},
    {Setting::VideoRatioWidth, "video-ratio-width", Integer, 0, ""},
    {Setting::VideoRatioHeight, "video-ratio-height", Integer, 0, ""},
    {Setting::AudioChannel, "audio-channel", Integer, 2, ""},
    {Setting::AudioSampleRate, "audio-sample-rate", Integer, 44100, ""},
    {Setting::AudioBitrate, "audio-bitrate", Integer, 128000, ""},
    {Setting::AudioChannelIndex, "audio-channel-index", Integer, 0, ""},
    {Setting::AudioSampleRateIndex, "audio-sample-rate-index", Integer, 4, ""},
    {Setting::AudioBitrateIndex, "audio-bitrate-index", Integer, 1, ""},
    {Setting::ImageCompressType, "image-compress-type", Integer, 0, ""},
    {Setting::ImageType, "image-type", Integer, 0, ""},
    {Setting::ImageRatioIndex, "image-ratio-index", Integer, 0, ""},
    {Setting::ImageDefineParam, "image-define-param", Integer, 0, ""},
    {Setting::GifDefineParam, "gif-define-param", Integer, 0, ""},
    {Setting::GifDropFrameIndex, "gif-drop-frame-index", Integer, 0, ""},
    {Setting::WindowClose, "window-close", Integer, 0, ""},
    {Setting::ServiceUrl, "service-url", Text, 0, kDefaultServiceUrl},
    // 1: an output not smaller than its source is replaced by a copy of the source.
    {Setting::KeepOriginalIfLarger, "keep-original-if-larger", Integer, 1, ""},
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
