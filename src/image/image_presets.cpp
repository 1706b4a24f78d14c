// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/image_presets.h"

#include <array>

namespace brisklo {
namespace {

// Values by level: general, deep, limit.
constexpr std::array<std::size_t, 3> kJpegQualities = {80, 65, 55};
constexpr std::array<std::size_t, 3> kPaletteColours = {256, 220, 200};
constexpr std::array<float, 3> kGifFuzzPercents = {4.0f, 8.0f, 12.0f};

}  // namespace

std::size_t JpegQuality(CompressionLevel level) { return kJpegQualities[LevelIndex(level)]; }

std::size_t PaletteColours(CompressionLevel level) { return kPaletteColours[LevelIndex(level)]; }

double GifColourFuzz(CompressionLevel level) {
    return static_cast<double>(kGifFuzzPercents[LevelIndex(level)] * 65535.0f / 100.0f);
}

}  // namespace brisklo
