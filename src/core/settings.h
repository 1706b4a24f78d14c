// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace brisklo {

// Every setting the program keeps, in section "global" of the settings file.
enum class Setting {
    OutputDir,
    OutputDirType,
    CompressType,
    VideoType,
    VideoRatioIndex,
    VideoRatioWidth,
    VideoRatioHeight,
    AudioChannel,
    AudioSampleRate,
    AudioBitrate,
    AudioChannelIndex,
    AudioSampleRateIndex,
    AudioBitrateIndex,
    ImageCompressType,
    ImageType,
    ImageRatioIndex,
    ImageDefineParam,
    GifDefineParam,
    GifDropFrameIndex,
    WindowClose,
    ServiceUrl,
    EncoderStallSeconds,
    KeepOriginalIfLarger,
    MinSavingPercent,
    VideoTargetOn,
    VideoTargetIndex,
    VideoTargetCustomMb,
    VideoTargetPercent,
    ImageTargetOn,
    ImageTargetKb,
    KeepPhotoInfo,
    KeepPhotoLocation,
    IncludeSubfolders,
};

enum class SettingType { Integer, Text };

struct SettingInfo {
    Setting id;
    std::string_view key;
    SettingType type;
    int defaultInt;
    std::string_view defaultText;
    // The valid integer values; a stored value outside them reads as the default.
    int minInt;
    int maxInt;
};

inline constexpr std::string_view kSettingsSection = "global";
// Where the upgrade check and feedback go unless the settings name another service.
inline constexpr std::string_view kDefaultServiceUrl = "https://api.brisklo.app";

const SettingInfo& Describe(Setting setting);

}  // namespace brisklo
