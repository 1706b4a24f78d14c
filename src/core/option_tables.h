// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

namespace brisklo {

// The choices the main window and the dialogs offer; a stored index selects a
// row, the value beside it is what the encoder gets.
struct Resolution {
    int width;
    int height;
};

inline constexpr std::array<Resolution, 13> kResolutions = {{
    {0, 0},  // keep the source size
    {1920, 1080},
    {1280, 720},
    {1024, 600},
    {800, 600},
    {720, 576},
    {720, 480},
    {640, 480},
    {640, 360},
    {480, 360},
    {480, 272},
    {352, 288},
    {320, 240},
}};

inline constexpr std::array<int, 13> kSampleRates = {
    96000, 88200, 64000, 48000, 44100, 32000, 24000, 22050, 16000, 12000, 11025, 8000, 7350};
inline constexpr int kDefaultSampleRateIndex = 4;

inline constexpr std::array<int, 4> kAudioBitrates = {320000, 128000, 96000, 64000};
inline constexpr int kDefaultAudioBitrateIndex = 1;

inline constexpr std::array<int, 2> kAudioChannels = {2, 1};
inline constexpr int kDefaultAudioChannelIndex = 0;

}  // namespace brisklo
