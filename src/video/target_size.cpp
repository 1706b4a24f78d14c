// SPDX-License-Identifier: GPL-3.0-or-later
#include "video/target_size.h"

#include <algorithm>
#include <cmath>

#include "core/media_options.h"

namespace brisklo {
namespace {

constexpr double kFloorAt480p = 100'000;
constexpr double kArea480p = 854.0 * 480.0;
constexpr std::int64_t kLowestFloor = 20'000;
// Headers, the moov box's fixed part or Matroska's segment info.
constexpr std::int64_t kFixedOverhead = 16 * 1024;
// Index and framing per packet: sample size, offset and time in MP4, the tag or
// block header in FLV and Matroska.
constexpr std::int64_t kBytesPerPacket = 16;
// AAC codes 1024 samples a packet.
constexpr double kSamplesPerAudioPacket = 1024;

std::int64_t AudioBytes(const TargetInputs& inputs) {
    return static_cast<std::int64_t>(
        std::ceil(static_cast<double>(inputs.audioBitrate) * inputs.durationSeconds / 8.0));
}

// The target that leaves a video rate of videoBitrate.
std::int64_t BytesFor(std::int64_t videoBitrate, const TargetInputs& inputs) {
    const double video = static_cast<double>(videoBitrate) * inputs.durationSeconds / 8.0;
    const double rest = static_cast<double>(AudioBytes(inputs) + OverheadBytes(inputs));
    return static_cast<std::int64_t>(std::ceil((video + rest) / kTargetAim));
}

}  // namespace

std::int64_t FloorBitrate(const PixelSize& frame) {
    const double area = static_cast<double>(std::max<std::int64_t>(frame.width, 0)) *
                        static_cast<double>(std::max<std::int64_t>(frame.height, 0));
    const auto floor = static_cast<std::int64_t>(kFloorAt480p * area / kArea480p);
    return std::max(floor, kLowestFloor);
}

std::int64_t OverheadBytes(const TargetInputs& inputs) {
    const double fps = inputs.framesPerSecond > 0 ? inputs.framesPerSecond : 30;
    double packetsPerSecond = fps;
    if (inputs.audioBitrate > 0 && inputs.audioSampleRate > 0) {
        packetsPerSecond += inputs.audioSampleRate / kSamplesPerAudioPacket;
    }
    const double packets = packetsPerSecond * std::max(inputs.durationSeconds, 0.0);
    return kFixedOverhead + static_cast<std::int64_t>(std::ceil(packets)) * kBytesPerPacket;
}

Result<TargetPlan> PlanTarget(const TargetInputs& inputs) {
    if (!(inputs.durationSeconds > 0)) {
        return Error{"its duration is unknown, so no bit rate can be worked out for a size"};
    }
    TargetPlan plan;
    plan.floorBitrate = FloorBitrate(inputs.frame);
    plan.overheadBytes = OverheadBytes(inputs);
    plan.audioBytes = AudioBytes(inputs);
    plan.smallestBytes = BytesFor(plan.floorBitrate, inputs);
    const double videoBytes = static_cast<double>(inputs.targetBytes) * kTargetAim -
                              static_cast<double>(plan.audioBytes + plan.overheadBytes);
    plan.videoBitrate = static_cast<std::int64_t>(videoBytes * 8.0 / inputs.durationSeconds);
    if (plan.videoBitrate < plan.floorBitrate) {
        return Error{SizeUpText(inputs.targetBytes) + " is too small for it; the smallest size " +
                     "that keeps the picture watchable is " + SizeUpText(plan.smallestBytes)};
    }
    return plan;
}

std::int64_t CorrectedBitrate(const TargetPlan& plan, const TargetInputs& inputs, std::int64_t rate,
                              std::int64_t producedBytes) {
    const double rest = static_cast<double>(plan.audioBytes + plan.overheadBytes);
    const double wanted = static_cast<double>(inputs.targetBytes) * kTargetAim - rest;
    const double produced = std::max(static_cast<double>(producedBytes) - rest, 1.0);
    // A little lower than the plain ratio: the miss was the encoder's, and it may
    // miss the same way again.
    return static_cast<std::int64_t>(static_cast<double>(rate) * (wanted / produced) * 0.98);
}

std::string SizeUpText(std::int64_t bytes) {
    if (bytes < kMegabyte) return std::to_string((bytes + kKilobyte - 1) / kKilobyte) + "KB";
    const auto tenths = (bytes * 10 + kMegabyte - 1) / kMegabyte;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + "M";
}

}  // namespace brisklo
