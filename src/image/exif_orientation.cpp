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
    switch (orientation) {
        case 2:
            return {width - 1 - x, y};
        case 3:
            return {width - 1 - x, height - 1 - y};
        case 4:
            return {x, height - 1 - y};
        case 5:
            return {y, x};
        case 6:
            return {height - 1 - y, x};
        case 7:
            return {height - 1 - y, width - 1 - x};
        case 8:
            return {y, width - 1 - x};
        default:
            return {x, y};
    }
}

}  // namespace brisklo
