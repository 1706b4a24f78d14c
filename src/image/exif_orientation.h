// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

namespace brisklo {

// The orientation tag (1..8) of an EXIF block as a JPEG's APP1 segment holds it
// ("Exif\0\0" and a TIFF header), 1 when the block has none or is not EXIF.
int ExifOrientation(std::span<const std::uint8_t> app1);

// Where pixel (x, y) of a width x height picture goes once the picture is turned
// upright for orientation (1..8); orientations 5 to 8 swap width and height.
struct PixelSpot {
    std::uint32_t x = 0;
    std::uint32_t y = 0;
};
PixelSpot UprightSpot(int orientation, std::uint32_t x, std::uint32_t y, std::uint32_t width,
                      std::uint32_t height);

}  // namespace brisklo
