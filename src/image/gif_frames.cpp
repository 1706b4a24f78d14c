// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/gif_frames.h"

namespace brisklo {

bool FrameKept(std::size_t index, std::int32_t dropIndex) {
    if (dropIndex < 0 || dropIndex > 4) return false;
    return index % static_cast<std::size_t>(6 - dropIndex) != 0;
}

std::vector<std::size_t> KeptFrames(std::size_t count, std::int32_t dropIndex) {
    std::vector<std::size_t> kept;
    for (std::size_t i = 0; i < count; ++i) {
        if (FrameKept(i, dropIndex)) kept.push_back(i);
    }
    return kept;
}

std::vector<std::size_t> MergedDelays(std::span<const std::size_t> delays,
                                      std::span<const std::size_t> kept) {
    std::vector<std::size_t> merged;
    merged.reserve(kept.size());
    if (kept.empty()) return merged;
    std::size_t next = 0;  // next position in kept
    std::size_t leading = 0;
    for (std::size_t i = 0; i < delays.size(); ++i) {
        if (next < kept.size() && kept[next] == i) {
            merged.push_back(delays[i] + (next == 0 ? leading : 0));
            ++next;
        } else if (merged.empty()) {
            leading += delays[i];
        } else {
            merged.back() += delays[i];
        }
    }
    return merged;
}

}  // namespace brisklo
