// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "core/task_failure.h"

namespace brisklo {

// Progress of one running encode. The reader thread writes it, the UI reads it
// when a progress message arrives; each field is read and written whole.
struct EncodeProgress {
    std::atomic<std::int32_t> taskId{0};
    std::atomic<std::int32_t> durationMs{0};
    std::atomic<std::int32_t> timeMs{0};
    std::atomic<float> speed{0};  // times real time; 0 while unknown
};

// Payload of MessageId::EncodeProgress.
using EncodeProgressPtr = std::shared_ptr<const EncodeProgress>;

// Payload of MessageId::EncodeSucceeded.
struct EncodeDone {
    std::int32_t taskId = 0;
    std::shared_ptr<const EncodeProgress> progress;
    std::string outputPath;
    // Set when the encode read clearly less of the source than its duration.
    std::string warning;
    // The output did not pay; outputPath is a copy of the source.
    bool keptOriginal = false;
};

// Payload of MessageId::EncodeFailed: the task and why it failed.
struct EncodeFailure {
    std::int32_t taskId = 0;
    std::string reason;
    FailureCode code = FailureCode::Unknown;
};

// Percentage shown for a progress record: time / duration * 100 in single
// precision, truncated, at most 100. None when the duration is unknown.
std::optional<int> ProgressPercent(std::int32_t durationMs, std::int32_t timeMs);

}  // namespace brisklo
