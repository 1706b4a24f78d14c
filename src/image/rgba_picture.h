// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace brisklo {

// A picture held as 8-bit red, green, blue and alpha, row by row, 4 bytes a pixel.
struct RgbaPicture {
    std::size_t width = 0;
    std::size_t height = 0;
    std::vector<std::uint8_t> pixels;  // width * height * 4 bytes
};

using PaletteColour = std::array<std::uint8_t, 4>;  // red, green, blue, alpha

// A picture of at most 256 colours: one palette index a pixel, row by row.
struct PalettePicture {
    std::size_t width = 0;
    std::size_t height = 0;
    std::vector<PaletteColour> palette;
    std::vector<std::uint8_t> indices;  // width * height entries
};

}  // namespace brisklo
