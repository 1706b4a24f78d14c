// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "core/result.h"
#include "image/image_geometry.h"

namespace brisklo {

// 8-bit pixels, row by row: 1 channel (grey) or 3 (red, green, blue).
struct PixelBuffer {
    std::size_t width = 0;
    std::size_t height = 0;
    int channels = 3;
    std::vector<std::uint8_t> pixels;
};

// Encodes with libjpeg-turbo at quality (the standard tables scaled as every
// encoder does, so readers estimate the same quality), with optimised Huffman
// tables and no metadata.
Result<std::vector<std::uint8_t>> EncodeJpegPixels(const PixelBuffer& picture, int quality);

// What a JPEG recode needs from its caller.
struct JpegRecode {
    int quality = 80;
    // The box an upright picture of width x height is fitted into.
    std::function<PixelSize(std::int64_t width, std::int64_t height)> targetBox;
    // Fits the picture into the box (the picture's aspect kept).
    std::function<Result<bool>(PixelBuffer& picture, const PixelSize& box)> resize;
    // Keep the EXIF block (date taken, camera, lens) with its orientation reset, as
    // the pixels are turned upright; its GPS position only with keepLocation.
    bool keepExif = false;
    bool keepLocation = false;
};

// Re-encodes a JPEG with libjpeg-turbo: turned upright by its EXIF orientation,
// fitted into its box and stripped of metadata (but for the EXIF block the request
// keeps). Pixels with a colour profile other than sRGB (Display P3, Adobe RGB) are
// converted to sRGB, as the profile is not written. When the picture keeps its size and
// needs no turning, rows go straight from the decoder to the encoder, so memory
// stays at a few rows; when it shrinks, the decoder's DCT scaling does the bulk of
// it. None when the source is a colour space this path leaves to the general one
// (CMYK). A damaged file (any decoder warning, such as a truncated file) fails.
Result<std::optional<std::vector<std::uint8_t>>> RecodeJpeg(std::span<const std::uint8_t> source,
                                                            const JpegRecode& request);

}  // namespace brisklo
