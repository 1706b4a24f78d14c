// SPDX-License-Identifier: GPL-3.0-or-later
#include "video/stall_watch.h"

#include "core/text_utils.h"

namespace brisklo {

void StallWatch::NotePosition(std::int64_t ms, Clock::time_point now) {
    if (ms > m_position) {
        m_position = ms;
        m_lastMove = now;
    }
}

void StallWatch::NoteOutputSize(std::uintmax_t size, Clock::time_point now) {
    if (size > m_outputSize) {
        m_outputSize = size;
        m_lastMove = now;
    }
}

bool StallWatch::Stalled(Clock::time_point now) const {
    return m_stallTime.count() > 0 && now - m_lastMove >= m_stallTime;
}

std::string ShortReadWarning(std::int64_t durationMs, std::int64_t readMs) {
    if (durationMs <= 0 || readMs < 0) return {};
    // Frame and packet boundaries make the last position fall a little short of
    // the duration on every healthy file; only a real gap is reported.
    if (readMs * 10 >= durationMs * 9 || durationMs - readMs < 500) return {};
    return FormatText("only %.1f s of %.1f s could be read", static_cast<double>(readMs) / 1000.0,
                      static_cast<double>(durationMs) / 1000.0);
}

}  // namespace brisklo
