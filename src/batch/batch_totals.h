// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace brisklo {

// How the batch goes: the tasks queued since the session was last idle.
struct BatchTotals {
    int total = 0;      // queued in this batch
    int finished = 0;   // of those, ended in any way
    int succeeded = 0;  // done or kept original
    int failed = 0;
    int stopped = 0;
    int cancelled = 0;
    std::int64_t bytesIn = 0;   // the sources of the tasks that succeeded
    std::int64_t bytesOut = 0;  // their outputs
    // None until there is something to go by.
    std::optional<std::chrono::seconds> timeLeft;

    std::int64_t saved() const { return bytesIn - bytesOut; }
    // saved ÷ bytes in × 100; none before anything was measured.
    std::optional<double> savedPercent() const;
};

// What the time left is estimated from.
struct TimeLeftInput {
    // Videos run one at a time.
    int videosWaiting = 0;
    bool videoRunning = false;
    // The running encode's time left by its progress and speed, and its whole
    // length at that pace (elapsed + left); none while they are unknown.
    std::optional<double> runningVideoLeft;
    std::optional<double> runningVideoTotal;
    int videosFinished = 0;  // encodes that ran to their end, and their mean wall time
    double meanVideoSeconds = 0;
    // Images run up to `imageSlots` at a time.
    int imagesLeft = 0;  // waiting or running
    int imagesFinished = 0;
    double meanImageSeconds = 0;
    int imageSlots = 3;
};

// Videos: the running encode's own estimate, then each waiting video at the mean
// time of the videos done (or, before any, at the running one's length). Images:
// the mean time per image over the slots. Both lists run side by side, so the
// longer of the two; none when either part has nothing to go by yet.
std::optional<std::chrono::seconds> EstimateTimeLeft(const TimeLeftInput& input);

}  // namespace brisklo
