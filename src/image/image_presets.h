// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/media_options.h"

namespace brisklo {

// Preset values by compression level.

// JPEG quality: 80, 65, 55.
std::size_t JpegQuality(CompressionLevel level);

// Colour count of PNG and BMP output: 256, 220, 200.
std::size_t PaletteColours(CompressionLevel level);

// Colour fuzz of GIF frames: 4, 8, 12 percent of 65535, computed in single
// precision as percent * 65535 / 100 (2621.4, 5242.8, 7864.2 to float precision).
double GifColourFuzz(CompressionLevel level);

}  // namespace brisklo
