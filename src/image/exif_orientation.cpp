// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/exif_orientation.h"

#include <cstring>

namespace brisklo {

int ExifOrientation(std::span<const std::uint8_t> app1) {
    if (app1.size() < 14 || std::memcmp(app1.data(), "Exif\0\0", 6) != 0) return 1;
    const std::span<const std::uint8_t> tiff = app1.subspan(6);
    const bool little = tiff[0] == 'I' && tiff[1] == 'I';
    if (!little && !(tiff[0] == 'M' && tiff[1] == 'M')) return 1;
    auto read = [&](std::size_t at, int bytes) -> std::uint32_t {
        std::uint32_t value = 0;
        for (int i = 0; i < bytes; ++i) {
            const std::uint32_t byte = tiff[at + static_cast<std::size_t>(i)];
            value |= little ? byte << (8 * i) : byte << (8 * (bytes - 1 - i));
        }
        return value;
    };
    const std::uint32_t ifd = read(4, 4);
    if (ifd > tiff.size() || tiff.size() - ifd < 2) return 1;
    const std::uint32_t entries = read(ifd, 2);
    for (std::uint32_t i = 0; i < entries; ++i) {
        const std::size_t entry = ifd + 2 + std::size_t{i} * 12;
        if (entry + 12 > tiff.size()) return 1;
        if (read(entry, 2) != 0x0112) continue;  // Orientation, a SHORT
        const std::uint32_t value = read(entry + 8, 2);
        return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
    }
    return 1;
}

PixelSpot UprightSpot(int orientation, std::uint32_t x, std::uint32_t y, std::uint32_t width,
                      std::uint32_t height) {
    if (orientation < 2 || orientation > 8) return {x, y};
    // 5 to 8 swap the axes first; then each orientation mirrors the result
    // across the axes it needs.
    const bool transposed = orientation >= 5;
    const bool mirrorX =
        orientation == 2 || orientation == 3 || orientation == 6 || orientation == 7;
    const bool mirrorY =
        orientation == 3 || orientation == 4 || orientation == 7 || orientation == 8;
    const std::uint32_t u = transposed ? y : x;
    const std::uint32_t v = transposed ? x : y;
    const std::uint32_t uExtent = transposed ? height : width;
    const std::uint32_t vExtent = transposed ? width : height;
    return {mirrorX ? uExtent - 1 - u : u, mirrorY ? vExtent - 1 - v : v};
}

}  // namespace brisklo
