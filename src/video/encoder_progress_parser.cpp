// SPDX-License-Identifier: GPL-3.0-or-later
#include "video/encoder_progress_parser.h"

#include <array>

#include "core/text_utils.h"

namespace brisklo {
namespace {

constexpr std::string_view kDurationMarker = "Duration:";
constexpr std::string_view kTimeMarker = "time=";
constexpr std::string_view kSpeedMarker = "speed=";
constexpr std::string_view kSuccessMarker = "muxing overhead:";
constexpr std::string_view kFailureMarker = "Conversion failed";
constexpr std::size_t kClockLength = 11;  // hh:mm:ss.xx
// A line longer than this without a line end is examined in pieces; the last
// bytes stay behind so that a marker at the cut is still found.
constexpr std::size_t kMaxTail = 64 * 1024;
constexpr std::size_t kTailOverlap = 64;

// The encoder cannot write its output file, whatever it prints afterwards.
constexpr std::array<std::string_view, 4> kWriteErrors = {
    "Error writing trailer", "No space left on device", "Error closing file",
    "Disk quota exceeded"};

constexpr std::array<std::string_view, 9> kErrorHints = {"rror",    "No such file", "denied",
                                                         "Invalid", "failed",       "not found",
                                                         "Unknown", "Unrecognized", "unsupported"};

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

std::string_view TrimSpaces(std::string_view text) { return Trim(text, " \t"); }

bool IsStatusLine(std::string_view line) {
    return line.starts_with("frame=") || line.starts_with("size=") || Contains(line, kTimeMarker);
}

}  // namespace

std::int64_t ParseClock(std::string_view clock) {
    const auto parts = SplitText(clock, ":");
    std::int64_t ms = 0;
    if (!parts.empty()) ms += static_cast<std::int64_t>(LeadingInteger(parts[0])) * 3600000;
    if (parts.size() > 1) ms += static_cast<std::int64_t>(LeadingInteger(parts[1])) * 60000;
    if (parts.size() > 2) {
        const auto seconds = SplitText(parts[2], ".");
        if (!seconds.empty()) ms += static_cast<std::int64_t>(LeadingInteger(seconds[0])) * 1000;
        if (seconds.size() > 1) ms += static_cast<std::int64_t>(LeadingInteger(seconds[1])) * 10;
    }
    return ms;
}

std::vector<EncoderProgressParser::Event> EncoderProgressParser::Feed(std::string_view bytes) {
    std::vector<Event> events;
    for (char c : bytes) {
        if (c == '\r' || c == '\n') {
            ExamineLine(m_tail, events);
            m_tail.clear();
        } else if (c != '\0') {
            m_tail.push_back(c);
        }
    }
    if (m_tail.size() > kMaxTail) {
        const std::size_t cut = m_tail.size() - kTailOverlap;
        ExamineLine(std::string_view(m_tail).substr(0, cut), events);
        m_tail.erase(0, cut);
    }
    return events;
}

std::vector<EncoderProgressParser::Event> EncoderProgressParser::Finish() {
    std::vector<Event> events;
    ExamineLine(m_tail, events);
    m_tail.clear();
    return events;
}

void EncoderProgressParser::ExamineLine(std::string_view line, std::vector<Event>& events) {
    line = TrimSpaces(line);
    if (line.empty()) return;

    if (!m_durationFound) {
        if (const auto p = line.find(kDurationMarker); p != std::string_view::npos) {
            // The clock follows the marker and one blank.
            const std::size_t start = std::min(line.size(), p + kDurationMarker.size() + 1);
            m_durationMs = ParseClock(line.substr(start, kClockLength));
            m_durationFound = true;
            events.push_back({EventKind::Duration, m_durationMs});
        }
    } else if (const auto p = line.find(kTimeMarker); p != std::string_view::npos) {
        m_timeMs = ParseClock(line.substr(p + kTimeMarker.size(), kClockLength));
        if (const auto s = line.find(kSpeedMarker); s != std::string_view::npos) {
            std::string_view speed = TrimSpaces(line.substr(s + kSpeedMarker.size()));
            m_speed = std::string(speed.substr(0, speed.find(' ')));
        }
        events.push_back({EventKind::Progress, m_timeMs});
    }

    if (Contains(line, kFailureMarker) && !m_failureSeen) {
        m_failureSeen = true;
        events.push_back({EventKind::FailureMarker});
    }
    if (Contains(line, kSuccessMarker) && !m_successSeen) {
        m_successSeen = true;
        events.push_back({EventKind::SuccessMarker});
    }
    for (std::string_view writeError : kWriteErrors) {
        if (Contains(line, writeError) && !m_writeErrorSeen) {
            m_writeErrorSeen = true;
            events.push_back({EventKind::WriteError});
        }
    }

    if (IsStatusLine(line)) return;
    // "Conversion failed!" says less than the line before it, which names the cause.
    if (Contains(line, kFailureMarker) && !m_lastLogLine.empty()) {
        if (m_lastErrorLine.empty()) m_lastErrorLine = m_lastLogLine;
        return;
    }
    const std::string_view kept = line.substr(0, 400);
    m_lastLogLine.assign(kept);
    for (std::string_view hint : kErrorHints) {
        if (Contains(line, hint)) {
            m_lastErrorLine.assign(kept);
            break;
        }
    }
}

std::string EncoderProgressParser::lastMessage() const {
    return m_lastErrorLine.empty() ? m_lastLogLine : m_lastErrorLine;
}

}  // namespace brisklo
