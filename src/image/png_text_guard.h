// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace brisklo {

// What a PNG's text and profile chunks may expand to, all together. A 1 MB zTXt
// chunk can inflate to 1 GiB, which the decoder would hold as one text string;
// real photos carry a few KiB of text and an ICC profile well under a MiB.
inline constexpr std::uint64_t kMaxPngAncillaryBytes = 8ull << 20;

struct PngTextTrim {
    int dropped = 0;        // chunks removed
    std::string firstName;  // the type of the first one removed ("zTXt")
};

// Removes from a PNG the text chunks (tEXt, zTXt, iTXt) and colour profiles (iCCP)
// whose expanded size would take the chunks seen so far beyond budget. Compressed
// chunks are inflated only as far as the budget left, so the walk itself is bounded
// by it. Outputs carry no metadata, so nothing a result shows is lost. Anything
// that is not a well-formed chunk ends the walk and leaves the rest to the decoder.
PngTextTrim TrimPngAncillaryChunks(std::vector<std::uint8_t>& png,
                                   std::uint64_t budget = kMaxPngAncillaryBytes);

}  // namespace brisklo
