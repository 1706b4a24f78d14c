// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

#include "core/pixel_size.h"
#include "core/result.h"

namespace brisklo {

// What the bit rate of a size-bound encode depends on.
struct TargetInputs {
    std::int64_t targetBytes = 0;
    double durationSeconds = 0;
    std::int64_t audioBitrate = 0;  // bit/s; 0 when the output has no sound
    std::int32_t audioSampleRate = 44100;
    double framesPerSecond = 30;
    PixelSize frame;  // the output's frame size
};

// The plan of a size-bound encode. The video bit rate leaves room for the sound, the
// container's index and headers, and a margin for the encoder's rate control.
struct TargetPlan {
    std::int64_t videoBitrate = 0;   // bit/s for -b:v
    std::int64_t floorBitrate = 0;   // below this the picture is useless
    std::int64_t smallestBytes = 0;  // the smallest target that reaches the floor
    std::int64_t overheadBytes = 0;  // the container's share, as estimated
    std::int64_t audioBytes = 0;     // the sound's share
};

// Share of the target the encode aims at: two-pass x264 lands within a few percent
// of its rate, and the result must not be over.
inline constexpr double kTargetAim = 0.96;

// The lowest useful video rate: 100 kbit/s for 854x480, scaled by the frame's area,
// never below 20 kbit/s.
std::int64_t FloorBitrate(const PixelSize& frame);

// The container's index and headers, estimated from the number of packets.
std::int64_t OverheadBytes(const TargetInputs& inputs);

// The bit rate for the target, or the reason it cannot work: an unknown duration,
// or a rate below the floor (the reason names the smallest size that would work).
Result<TargetPlan> PlanTarget(const TargetInputs& inputs);

// The video rate for another try after an encode at rate came out at producedBytes,
// over the target: the rate scaled by how far the video's share missed, aimed lower.
std::int64_t CorrectedBitrate(const TargetPlan& plan, const TargetInputs& inputs, std::int64_t rate,
                              std::int64_t producedBytes);

// A size rounded up, so that it is one that works: whole kilobytes below a megabyte
// ("440KB"), else tenths of a megabyte ("2.1M").
std::string SizeUpText(std::int64_t bytes);

}  // namespace brisklo
