#include "image/image_presets.h"

namespace brisklo {

std::optional<std::size_t> JpegQuality(std::int32_t compressType) {
    switch (compressType) {
        case 0:
            return 80;
        case 1:
            return 65;
        case 2:
            return 55;
        default:
            return std::nullopt;
    }
}

std::optional<std::size_t> PaletteColours(std::int32_t compressType) {
    switch (compressType) {
        case 0:
            return 256;
        case 1:
            return 220;
        case 2:
            return 200;
        default:
            return std::nullopt;
    }
}

double GifColourFuzz(std::int32_t compressType) {
    float percent = 4.0f;
    if (compressType == 1) percent = 8.0f;
    if (compressType == 2) percent = 12.0f;
    return static_cast<double>(percent * 65535.0f / 100.0f);
}

}  // namespace brisklo
