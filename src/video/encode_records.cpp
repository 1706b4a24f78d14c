// SPDX-License-Identifier: GPL-3.0-or-later
#include "video/encode_records.h"

namespace brisklo {

std::optional<int> ProgressPercent(std::int32_t durationMs, std::int32_t timeMs) {
    if (durationMs <= 0) return std::nullopt;
    const float percent = static_cast<float>(timeMs) / static_cast<float>(durationMs) * 100.0f;
    const int whole = static_cast<int>(percent);
    if (whole < 0) return 0;
    return whole > 100 ? 100 : whole;
}

}  // namespace brisklo
