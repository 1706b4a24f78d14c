// SPDX-License-Identifier: GPL-3.0-or-later
// The encoder's output read in one piece and in pieces cut at places the input
// chooses must give the same events and the same final state.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "video/encoder_progress_parser.h"

namespace {

using brisklo::EncoderProgressParser;

bool SameEvents(const std::vector<EncoderProgressParser::Event>& a,
                const std::vector<EncoderProgressParser::Event>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].kind != b[i].kind || a[i].ms != b[i].ms) return false;
    }
    return true;
}

void Append(std::vector<EncoderProgressParser::Event>& to,
            const std::vector<EncoderProgressParser::Event>& from) {
    to.insert(to.end(), from.begin(), from.end());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    // The first byte picks the cut length; the rest is the output.
    const std::size_t step = data[0] % 17 + 1;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    EncoderProgressParser whole;
    std::vector<EncoderProgressParser::Event> wholeEvents = whole.Feed(text);
    Append(wholeEvents, whole.Finish());

    EncoderProgressParser pieces;
    std::vector<EncoderProgressParser::Event> pieceEvents;
    for (std::size_t at = 0; at < text.size(); at += step) {
        Append(pieceEvents, pieces.Feed(text.substr(at, step)));
    }
    Append(pieceEvents, pieces.Finish());

    if (!SameEvents(wholeEvents, pieceEvents) || whole.durationMs() != pieces.durationMs() ||
        whole.timeMs() != pieces.timeMs() || whole.speed() != pieces.speed() ||
        whole.successSeen() != pieces.successSeen() ||
        whole.failureSeen() != pieces.failureSeen() ||
        whole.writeErrorSeen() != pieces.writeErrorSeen() ||
        whole.lastMessage() != pieces.lastMessage()) {
        std::abort();
    }
    return 0;
}
