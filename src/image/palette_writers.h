// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

#include "core/result.h"
#include "image/rgba_picture.h"

namespace brisklo {

// A palette PNG: the smallest bit depth that holds the palette (1, 2, 4 or 8), a
// transparency chunk only for the entries that need one, no filter (palette
// pictures compress best unfiltered) and zlib's strongest compression.
Result<std::vector<std::uint8_t>> WritePalettePng(const PalettePicture& picture);

// A BMP: palette-indexed (1, 4 or 8 bits a pixel) when every colour is opaque; 32
// bits a pixel with an alpha channel when some colour is not, so transparency is
// kept as a BMP can hold it.
Result<std::vector<std::uint8_t>> WritePaletteBmp(const PalettePicture& picture);

}  // namespace brisklo
