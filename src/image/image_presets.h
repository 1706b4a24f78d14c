#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace brisklo {

// Preset values by image-compress-type: 0 general, 1 deep, 2 limit. Any other value
// leaves quality and colour count to the library and uses the general fuzz.

// JPEG quality: 80, 65, 55.
std::optional<std::size_t> JpegQuality(std::int32_t compressType);

// Colour count of PNG and BMP output: 256, 220, 200.
std::optional<std::size_t> PaletteColours(std::int32_t compressType);

// Colour fuzz of GIF frames: 4, 8, 12 percent of 65535, computed in single
// precision as percent * 65535 / 100 (2621.4, 5242.8, 7864.2 to float precision).
double GifColourFuzz(std::int32_t compressType);

}  // namespace brisklo
