// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace brisklo {

// Decides when an encoder has stopped responding: neither its position nor the
// size of its output has moved for the stall time. Pure: the caller gives the
// clock, so tests need no waiting. A stall time of zero never stalls.
class StallWatch {
  public:
    using Clock = std::chrono::steady_clock;

    StallWatch(std::chrono::seconds stallTime, Clock::time_point start)
        : m_stallTime(stallTime), m_lastMove(start) {}

    // The position the encoder printed; counts as movement when it advanced.
    void NotePosition(std::int64_t ms, Clock::time_point now);
    // The output's current size; counts as movement when it grew.
    void NoteOutputSize(std::uintmax_t size, Clock::time_point now);
    bool Stalled(Clock::time_point now) const;
    std::chrono::seconds stallTime() const { return m_stallTime; }

  private:
    std::chrono::seconds m_stallTime;
    Clock::time_point m_lastMove;
    std::int64_t m_position = -1;
    std::uintmax_t m_outputSize = 0;
};

// The warning for an encode that succeeded on less of the source than its probed
// duration ("only 1.7 s of 6.0 s could be read"), when under 90 % of it (and at
// least half a second less) was read; empty otherwise or when the duration is unknown.
std::string ShortReadWarning(std::int64_t durationMs, std::int64_t readMs);

}  // namespace brisklo
