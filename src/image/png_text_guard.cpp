// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/png_text_guard.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <span>
#include <string_view>

namespace brisklo {
namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::size_t kSignatureBytes = 8;
// Length, type and CRC around a chunk's data.
constexpr std::size_t kChunkOverhead = 12;

std::uint32_t BigEndian32(const std::uint8_t* at) {
    return (std::uint32_t{at[0]} << 24) | (std::uint32_t{at[1]} << 16) |
           (std::uint32_t{at[2]} << 8) | std::uint32_t{at[3]};
}

// How many bytes a zlib stream inflates to, counting no further than limit + 1.
// A broken stream counts what came out before the break.
std::uint64_t InflatedSize(Bytes compressed, std::uint64_t limit) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return limit + 1;
    std::array<std::uint8_t, 1 << 16> scratch;
    stream.next_in = const_cast<Bytef*>(compressed.data());
    stream.avail_in = static_cast<uInt>(compressed.size());
    std::uint64_t total = 0;
    for (;;) {
        stream.next_out = scratch.data();
        stream.avail_out = static_cast<uInt>(scratch.size());
        const int status = inflate(&stream, Z_NO_FLUSH);
        total += scratch.size() - stream.avail_out;
        if (total > limit || status != Z_OK) break;
        if (stream.avail_in == 0 && stream.avail_out != 0) break;
    }
    inflateEnd(&stream);
    return total;
}

// Position after the first NUL at or after from, or none.
std::optional<std::size_t> AfterNul(Bytes data, std::size_t from) {
    if (from > data.size()) return std::nullopt;
    const auto nul = std::find(data.begin() + static_cast<std::ptrdiff_t>(from), data.end(), 0);
    if (nul == data.end()) return std::nullopt;
    return static_cast<std::size_t>(nul - data.begin()) + 1;
}

// The size the chunk's content takes once read, counted up to limit + 1; none for
// a chunk this guard leaves alone.
std::optional<std::uint64_t> ExpandedSize(std::string_view type, Bytes data, std::uint64_t limit) {
    if (type == "tEXt") return data.size();
    if (type == "zTXt" || type == "iCCP") {
        // keyword or profile name, NUL, method byte, zlib stream
        const auto at = AfterNul(data, 0);
        if (!at || *at + 1 > data.size()) return data.size();
        return InflatedSize(data.subspan(*at + 1), limit);
    }
    if (type == "iTXt") {
        // keyword NUL, flag, method, language NUL, translated keyword NUL, text
        const auto afterKeyword = AfterNul(data, 0);
        if (!afterKeyword || *afterKeyword + 2 > data.size()) return data.size();
        const bool compressed = data[*afterKeyword] != 0;
        const auto afterLanguage = AfterNul(data, *afterKeyword + 2);
        const auto afterTranslated = afterLanguage ? AfterNul(data, *afterLanguage) : std::nullopt;
        if (!afterTranslated) return data.size();
        if (!compressed) return data.size();
        return *afterTranslated + InflatedSize(data.subspan(*afterTranslated), limit);
    }
    return std::nullopt;
}

}  // namespace

PngTextTrim TrimPngAncillaryChunks(std::vector<std::uint8_t>& png, std::uint64_t budget) {
    PngTextTrim trim;
    std::uint64_t used = 0;
    std::size_t at = kSignatureBytes;
    // Kept chunks move down over the dropped ones in one pass.
    std::size_t kept = kSignatureBytes;
    while (at + kChunkOverhead <= png.size()) {
        const std::uint64_t length = BigEndian32(png.data() + at);
        if (length > png.size() - at - kChunkOverhead) break;
        const std::string_view type(reinterpret_cast<const char*>(png.data() + at + 4), 4);
        if (type == "IEND") break;
        const std::size_t whole = static_cast<std::size_t>(length) + kChunkOverhead;
        const Bytes data(png.data() + at + 8, static_cast<std::size_t>(length));
        const std::uint64_t left = budget - used;
        bool drop = false;
        if (const auto size = ExpandedSize(type, data, left)) {
            drop = *size > left;
            if (!drop) used += *size;
        }
        if (drop) {
            if (trim.dropped++ == 0) trim.firstName = std::string(type);
        } else {
            if (kept != at) std::memmove(png.data() + kept, png.data() + at, whole);
            kept += whole;
        }
        at += whole;
    }
    if (kept != at) {
        std::memmove(png.data() + kept, png.data() + at, png.size() - at);
        png.resize(kept + (png.size() - at));
    }
    return trim;
}

}  // namespace brisklo
