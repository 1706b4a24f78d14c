// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/pixel_size.h"
#include "core/result.h"

namespace brisklo {

// Lanczos keeps photos sharp when they shrink; Mitchell is the softer choice for
// pictures with transparency or few colours and for enlarging, where Lanczos
// rings (the image library chooses the same way).
enum class ResizeFilter { Lanczos, Mitchell };

// Resizes interleaved 8-bit pixels (row by row, `channels` bytes a pixel: 1 grey,
// 3 RGB, 4 RGBA) to `to` with FFmpeg's libswscale.
// Each channel is scaled as a grey plane of its own, so colours never pass
// through a YUV conversion, and only two planes are held beside the pictures.
// With four channels the last is alpha: colours are weighted by it while
// scaling, so the hidden colour of transparent pixels does not bleed into edges.
Result<std::vector<std::uint8_t>> ResizeChannels(std::span<const std::uint8_t> pixels,
                                                 PixelSize from, int channels, PixelSize to,
                                                 ResizeFilter filter);

}  // namespace brisklo
