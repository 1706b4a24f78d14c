// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

#include "core/result.h"
#include "image/rgba_picture.h"

namespace brisklo {

// How much effort the palette search may take: Thorough for a still picture,
// Quick for the many frames of an animation.
enum class QuantiseEffort { Thorough, Quick };

// Reduces a picture to at most `colours` colours (2..256) with libimagequant: the
// palette that keeps the picture closest to the source, the pixels mapped to it
// with Floyd-Steinberg dithering. Fully transparent pixels stay fully transparent.
Result<PalettePicture> ReduceColours(const RgbaPicture& picture, std::size_t colours,
                                     QuantiseEffort effort = QuantiseEffort::Thorough);

// Expands a palette picture back to RGBA.
RgbaPicture ExpandPalette(const PalettePicture& picture);

}  // namespace brisklo
