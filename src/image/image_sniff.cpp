// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/image_sniff.h"

#include <algorithm>
#include <array>

namespace brisklo {
namespace {

using Bytes = std::span<const std::uint8_t>;

bool StartsWith(Bytes bytes, std::initializer_list<std::uint8_t> prefix) {
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

std::uint32_t BigEndian32(Bytes bytes, std::size_t at) {
    return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
           (std::uint32_t{bytes[at + 2]} << 8) | std::uint32_t{bytes[at + 3]};
}

std::uint16_t BigEndian16(Bytes bytes, std::size_t at) {
    return static_cast<std::uint16_t>((bytes[at] << 8) | bytes[at + 1]);
}

std::uint16_t LittleEndian16(Bytes bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

std::uint32_t LittleEndian32(Bytes bytes, std::size_t at) {
    return std::uint32_t{bytes[at]} | (std::uint32_t{bytes[at + 1]} << 8) |
           (std::uint32_t{bytes[at + 2]} << 16) | (std::uint32_t{bytes[at + 3]} << 24);
}

std::optional<PixelSize> PngSize(Bytes bytes) {
    // Signature (8), chunk length (4), "IHDR" (4), width (4), height (4).
    if (bytes.size() < 24 || !std::equal(bytes.begin() + 12, bytes.begin() + 16, "IHDR")) {
        return std::nullopt;
    }
    return PixelSize{BigEndian32(bytes, 16), BigEndian32(bytes, 20)};
}

std::optional<PixelSize> BmpSize(Bytes bytes) {
    if (bytes.size() < 18) return std::nullopt;
    const std::uint32_t headerSize = LittleEndian32(bytes, 14);
    if (headerSize == 12) {  // OS/2 core header: 16-bit sizes
        if (bytes.size() < 22) return std::nullopt;
        return PixelSize{LittleEndian16(bytes, 18), LittleEndian16(bytes, 20)};
    }
    if (bytes.size() < 26) return std::nullopt;
    const auto width = static_cast<std::int32_t>(LittleEndian32(bytes, 18));
    // A negative height marks a top-down bitmap.
    const auto height = static_cast<std::int32_t>(LittleEndian32(bytes, 22));
    auto magnitude = [](std::int32_t v) { return v < 0 ? -static_cast<std::int64_t>(v) : v; };
    return PixelSize{magnitude(width), magnitude(height)};
}

std::optional<PixelSize> GifSize(Bytes bytes) {
    if (bytes.size() < 10) return std::nullopt;
    return PixelSize{LittleEndian16(bytes, 6), LittleEndian16(bytes, 8)};
}

bool IsStartOfFrame(std::uint8_t marker) {
    // SOF0..SOF15 except DHT (C4), JPG (C8) and DAC (CC).
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

std::optional<PixelSize> JpegSize(Bytes bytes) {
    std::size_t at = 2;  // after SOI
    while (at + 4 <= bytes.size()) {
        if (bytes[at] != 0xFF) return std::nullopt;
        const std::uint8_t marker = bytes[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {  // no length
            at += 2;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA) return std::nullopt;  // EOI or SOS first
        const std::uint16_t length = BigEndian16(bytes, at + 2);
        if (length < 2) return std::nullopt;
        if (IsStartOfFrame(marker)) {
            if (at + 9 > bytes.size()) return std::nullopt;
            return PixelSize{BigEndian16(bytes, at + 7), BigEndian16(bytes, at + 5)};
        }
        at += 2 + length;
    }
    return std::nullopt;
}

// Skips a chain of GIF data sub-blocks starting at `at`; returns the position after
// the terminator, or none when the data ends first.
std::optional<std::size_t> SkipSubBlocks(Bytes bytes, std::size_t at) {
    while (at < bytes.size()) {
        const std::size_t length = bytes[at];
        ++at;
        if (length == 0) return at;
        at += length;
    }
    return std::nullopt;
}

std::size_t ColourTableBytes(std::uint8_t packed) {
    return (packed & 0x80) ? 3u * (std::size_t{1} << ((packed & 0x07) + 1)) : 0u;
}

}  // namespace

std::optional<ImageFormat> SniffImageFormat(Bytes bytes) {
    if (StartsWith(bytes, {0xFF, 0xD8, 0xFF})) return ImageFormat::Jpeg;
    if (StartsWith(bytes, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A})) return ImageFormat::Png;
    if (StartsWith(bytes, {'G', 'I', 'F', '8', '7', 'a'}) ||
        StartsWith(bytes, {'G', 'I', 'F', '8', '9', 'a'})) {
        return ImageFormat::Gif;
    }
    // "BM" alone is two printable letters; a bitmap also carries a known info-header
    // size at offset 14.
    if (StartsWith(bytes, {'B', 'M'}) && bytes.size() >= 18) {
        constexpr std::array<std::uint32_t, 6> kHeaderSizes = {12, 40, 52, 56, 108, 124};
        const std::uint32_t headerSize = LittleEndian32(bytes, 14);
        if (std::find(kHeaderSizes.begin(), kHeaderSizes.end(), headerSize) != kHeaderSizes.end()) {
            return ImageFormat::Bmp;
        }
    }
    return std::nullopt;
}

std::string_view MagickCoderName(ImageFormat format) {
    // In the order of ImageFormat.
    static constexpr std::array<std::string_view, 4> kCoders = {"JPEG", "PNG", "BMP", "GIF"};
    const auto index = static_cast<std::size_t>(format);
    return index < kCoders.size() ? kCoders[index] : std::string_view();
}

std::optional<PixelSize> DeclaredImageSize(Bytes bytes, ImageFormat format) {
    switch (format) {
        case ImageFormat::Jpeg:
            return JpegSize(bytes);
        case ImageFormat::Png:
            return PngSize(bytes);
        case ImageFormat::Bmp:
            return BmpSize(bytes);
        case ImageFormat::Gif:
            return GifSize(bytes);
    }
    return std::nullopt;
}

std::optional<GifCensus> CountGifFrames(Bytes bytes) {
    if (bytes.size() < 13) return std::nullopt;
    const std::uint64_t screenWidth = LittleEndian16(bytes, 6);
    const std::uint64_t screenHeight = LittleEndian16(bytes, 8);
    std::size_t at = 13 + ColourTableBytes(bytes[10]);
    GifCensus census;
    while (at < bytes.size()) {
        const std::uint8_t introducer = bytes[at];
        if (introducer == 0x3B) return census;  // trailer
        if (introducer == 0x21) {               // extension: label, then sub-blocks
            if (at + 2 > bytes.size()) return census;
            const auto next = SkipSubBlocks(bytes, at + 2);
            if (!next) return census;
            at = *next;
            continue;
        }
        if (introducer != 0x2C || at + 10 > bytes.size()) return census;
        const std::uint64_t left = LittleEndian16(bytes, at + 1);
        const std::uint64_t top = LittleEndian16(bytes, at + 3);
        const std::uint64_t width = LittleEndian16(bytes, at + 5);
        const std::uint64_t height = LittleEndian16(bytes, at + 7);
        const std::uint8_t packed = bytes[at + 9];
        ++census.frames;
        census.canvasPixels +=
            std::max(screenWidth, left + width) * std::max(screenHeight, top + height);
        at += 10 + ColourTableBytes(packed) + 1;  // descriptor, local table, LZW code size
        const auto next = SkipSubBlocks(bytes, at);
        if (!next) return census;
        at = *next;
    }
    return census;
}

}  // namespace brisklo
