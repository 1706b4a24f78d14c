// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brisklo {

// Milliseconds of an encoder clock such as "00:01:23.45" (83450). Parts that are
// missing add nothing; text without digits gives 0.
std::int64_t ParseClock(std::string_view clock);

// Turns the encoder's console output, fed read by read, into what the program
// needs: the input's duration, the position reached, and the end markers. Pure:
// no process, no thread, no clock. Text is examined line by line (the encoder
// ends status lines with '\r' and log lines with '\n'), and the unfinished tail
// of a read waits for the next one, so a marker cut by a read boundary is found.
class EncoderProgressParser {
  public:
    enum class EventKind { Duration, Progress, SuccessMarker, FailureMarker, WriteError };
    struct Event {
        EventKind kind;
        std::int64_t ms = 0;  // Duration and Progress
    };

    std::vector<Event> Feed(std::string_view bytes);
    // The encoder's output has ended: examines a last line without a line end.
    std::vector<Event> Finish();

    bool durationFound() const { return m_durationFound; }
    std::int64_t durationMs() const { return m_durationMs; }
    std::int64_t timeMs() const { return m_timeMs; }
    // The encoder's speed as it printed it ("1.52x"); empty until known.
    const std::string& speed() const { return m_speed; }
    bool successSeen() const { return m_successSeen; }
    bool failureSeen() const { return m_failureSeen; }
    bool writeErrorSeen() const { return m_writeErrorSeen; }
    // The last line that reads like an error message, else the last log line.
    std::string lastMessage() const;

  private:
    void ExamineLine(std::string_view line, std::vector<Event>& events);

    std::string m_tail;
    bool m_durationFound = false;
    std::int64_t m_durationMs = 0;
    std::int64_t m_timeMs = 0;
    std::string m_speed;
    bool m_successSeen = false;
    bool m_failureSeen = false;
    bool m_writeErrorSeen = false;
    std::string m_lastErrorLine;
    std::string m_lastLogLine;
};

}  // namespace brisklo
