// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/batch_totals.h"

#include <algorithm>
#include <cmath>

namespace brisklo {

std::optional<double> BatchTotals::savedPercent() const {
    if (bytesIn <= 0) return std::nullopt;
    return static_cast<double>(saved()) / static_cast<double>(bytesIn) * 100.0;
}

namespace {

std::optional<double> VideoSecondsLeft(const TimeLeftInput& in) {
    if (in.videosWaiting == 0 && !in.videoRunning) return 0.0;
    const std::optional<double> perVideo =
        in.videosFinished > 0 ? std::optional(in.meanVideoSeconds) : in.runningVideoTotal;
    double left = 0;
    if (in.videoRunning) {
        if (!in.runningVideoLeft) return std::nullopt;
        left += *in.runningVideoLeft;
    }
    if (in.videosWaiting > 0) {
        if (!perVideo) return std::nullopt;
        left += *perVideo * in.videosWaiting;
    }
    return left;
}

std::optional<double> ImageSecondsLeft(const TimeLeftInput& in) {
    if (in.imagesLeft == 0) return 0.0;
    if (in.imagesFinished == 0) return std::nullopt;
    return in.meanImageSeconds * in.imagesLeft / std::max(in.imageSlots, 1);
}

}  // namespace

std::optional<std::chrono::seconds> EstimateTimeLeft(const TimeLeftInput& input) {
    const auto videos = VideoSecondsLeft(input);
    const auto images = ImageSecondsLeft(input);
    if (!videos || !images) return std::nullopt;
    return std::chrono::seconds(static_cast<std::int64_t>(std::ceil(std::max(*videos, *images))));
}

}  // namespace brisklo
