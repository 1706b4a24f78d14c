// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "core/pixel_size.h"

namespace brisklo {

// A box an image is fitted into: the image keeps its aspect ratio and ends up as
// large as fits inside (enlarged when the box is larger).
// The box for an image of width x height:
// - a custom size (defineSize on, width and height both positive) is the box itself;
// - ratio step k in 1..5 shrinks the width by k tenths, w' = w - trunc(k*w/10), and
//   bounds the height at trunc(16*w'/9), so only images taller than 16:9 portrait
//   are limited by their height;
// - anything else keeps the image's own size.
// A custom field that is zero or negative counts as empty.
PixelSize TargetBox(std::int64_t width, std::int64_t height, std::int32_t ratioIndex,
                    std::int32_t defineSize, std::int32_t customWidth, std::int32_t customHeight);

// The size an image of width x height gets when fitted into box, rounded as
// ImageMagick rounds it; at least 1 x 1.
PixelSize FitInside(std::int64_t width, std::int64_t height, const PixelSize& box);

}  // namespace brisklo
