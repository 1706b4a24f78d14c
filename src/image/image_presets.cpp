#include "image/image_presets.h"

namespace brisklo {

std::size_t JpegQuality(CompressionLevel level) {
    switch (level) {
        case CompressionLevel::Deep:
            return 65;
        case CompressionLevel::Limit:
            return 55;
        case CompressionLevel::General:
            break;
    }
    return 80;
}

std::size_t PaletteColours(CompressionLevel level) {
    switch (level) {
        case CompressionLevel::Deep:
            return 220;
        case CompressionLevel::Limit:
            return 200;
        case CompressionLevel::General:
            break;
    }
    return 256;
}

double GifColourFuzz(CompressionLevel level) {
    float percent = 4.0f;
    if (level == CompressionLevel::Deep) percent = 8.0f;
    if (level == CompressionLevel::Limit) percent = 12.0f;
    return static_cast<double>(percent * 65535.0f / 100.0f);
}

}  // namespace brisklo
