// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "core/pixel_size.h"

namespace brisklo {

// The only formats whose decoders ever see a source file.
enum class ImageFormat { Jpeg, Png, Bmp, Gif };

// The format named by the file's first bytes, or none when the content is anything
// else (SVG, MVG, MSL, text, TIFF, ...), whatever the file's name says.
std::optional<ImageFormat> SniffImageFormat(std::span<const std::uint8_t> bytes);

// ImageMagick's coder name for the format ("JPEG", "PNG", "BMP", "GIF").
std::string_view MagickCoderName(ImageFormat format);

// The size the file's header declares, read without decoding anything: the IHDR of
// a PNG, the info header of a BMP, the logical screen of a GIF, the first frame
// header (SOF) of a JPEG. None when the header cannot be found.
std::optional<PixelSize> DeclaredImageSize(std::span<const std::uint8_t> bytes, ImageFormat format);

// What a GIF's block structure says about its frames, found by walking the blocks
// without decompressing any of them.
struct GifCensus {
    std::uint64_t frames = 0;
    // Sum over the frames of the canvas each one needs (the logical screen, grown to
    // hold the frame): what the frames take once they are composed.
    std::uint64_t canvasPixels = 0;
};

// A file cut short or broken off counts the frames found up to there (the decoder
// has the last word on whether they are readable). None when even the header is
// missing.
std::optional<GifCensus> CountGifFrames(std::span<const std::uint8_t> bytes);

}  // namespace brisklo
