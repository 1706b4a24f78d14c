// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/palette_writers.h"

#include <png.h>

#include <algorithm>
#include <climits>
#include <csetjmp>
#include <cstring>
#include <new>
#include <string>

namespace brisklo {
namespace {

// Output of libpng's write callback. Growing a vector may throw, which must not
// unwind through libpng, so a failure is only noted here and reported after.
struct PngSink {
    std::vector<std::uint8_t>* bytes = nullptr;
    bool failed = false;
};

void PngWrite(png_structp png, png_bytep data, png_size_t length) {
    auto* sink = static_cast<PngSink*>(png_get_io_ptr(png));
    if (sink->failed) return;
    try {
        sink->bytes->insert(sink->bytes->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        sink->failed = true;
    }
}

void PngFlush(png_structp) {}

int BitDepthFor(std::size_t colours) {
    if (colours <= 2) return 1;
    if (colours <= 4) return 2;
    if (colours <= 16) return 4;
    return 8;
}

// Every libpng call that can fail lives here, with only trivially destructible
// locals, because libpng reports errors by longjmp back to the setjmp below.
bool WritePngChunks(png_structp png, png_infop info, const PalettePicture& picture,
                    const png_color* colours, const png_byte* alphas, int alphaCount) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width),
                 static_cast<png_uint_32>(picture.height), BitDepthFor(picture.palette.size()),
                 PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(png, info, colours, static_cast<int>(picture.palette.size()));
    if (alphaCount > 0) png_set_tRNS(png, info, alphas, alphaCount, nullptr);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    png_set_packing(png);  // one index a byte in, packed to the bit depth
    for (std::size_t y = 0; y < picture.height; ++y) {
        png_write_row(png, picture.indices.data() + y * picture.width);
    }
    png_write_end(png, info);
    return true;
}

void PutLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

Error NoSize(const char* format) {
    return Error{std::string("cannot write the ") + format + ": the picture has no usable size"};
}

}  // namespace

Result<std::vector<std::uint8_t>> WritePalettePng(const PalettePicture& picture) {
    if (picture.width == 0 || picture.height == 0 || picture.width > PNG_UINT_31_MAX ||
        picture.height > PNG_UINT_31_MAX || picture.palette.empty() ||
        picture.palette.size() > 256 || picture.indices.size() != picture.width * picture.height) {
        return NoSize("PNG");
    }
    std::vector<png_color> colours;
    std::vector<png_byte> alphas;
    int alphaCount = 0;
    for (std::size_t i = 0; i < picture.palette.size(); ++i) {
        const PaletteColour& c = picture.palette[i];
        colours.push_back({c[0], c[1], c[2]});
        alphas.push_back(c[3]);
        if (c[3] != 255) alphaCount = static_cast<int>(i) + 1;
    }
    std::vector<std::uint8_t> bytes;
    bytes.reserve(picture.indices.size() / 4 + 1024);
    PngSink sink{&bytes, false};

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return Error{"not enough memory to write the PNG"};
    png_infop info = png_create_info_struct(png);
    const bool haveInfo = info != nullptr;
    bool written = false;
    if (haveInfo) {
        png_set_write_fn(png, &sink, PngWrite, PngFlush);
        written = WritePngChunks(png, info, picture, colours.data(), alphas.data(), alphaCount);
    }
    png_destroy_write_struct(&png, haveInfo ? &info : nullptr);
    if (!haveInfo || sink.failed) return Error{"not enough memory to write the PNG"};
    if (!written) return Error{"the PNG writer failed"};
    return bytes;
}

Result<std::vector<std::uint8_t>> WritePaletteBmp(const PalettePicture& picture) {
    // The header holds the size as a signed 32-bit number of bytes.
    const std::uint64_t pixels = std::uint64_t{picture.width} * picture.height;
    if (picture.width == 0 || picture.height == 0 || pixels * 4 > INT_MAX - 1024 ||
        picture.palette.empty() || picture.palette.size() > 256 ||
        picture.indices.size() != pixels) {
        return NoSize("BMP");
    }
    const bool alpha = std::any_of(picture.palette.begin(), picture.palette.end(),
                                   [](const PaletteColour& c) { return c[3] != 255; });
    const std::size_t colours = picture.palette.size();
    const int bits = alpha ? 32 : (colours <= 2 ? 1 : colours <= 16 ? 4 : 8);
    const std::size_t rowBytes = (picture.width * static_cast<std::size_t>(bits) + 31) / 32 * 4;
    const std::uint32_t infoSize = alpha ? 108 : 40;  // BITMAPV4HEADER carries the alpha mask
    const std::uint32_t paletteBytes = alpha ? 0 : static_cast<std::uint32_t>(colours * 4);
    const std::uint32_t offset = 14 + infoSize + paletteBytes;
    const auto imageBytes = static_cast<std::uint32_t>(rowBytes * picture.height);

    std::vector<std::uint8_t> out;
    out.reserve(offset + imageBytes);
    out.push_back('B');
    out.push_back('M');
    PutLe(out, offset + imageBytes, 4);
    PutLe(out, 0, 4);
    PutLe(out, offset, 4);
    PutLe(out, infoSize, 4);
    PutLe(out, static_cast<std::uint32_t>(picture.width), 4);
    PutLe(out, static_cast<std::uint32_t>(picture.height), 4);  // positive: bottom row first
    PutLe(out, 1, 2);
    PutLe(out, static_cast<std::uint32_t>(bits), 2);
    PutLe(out, alpha ? 3 : 0, 4);  // BI_BITFIELDS or BI_RGB
    PutLe(out, imageBytes, 4);
    PutLe(out, 2835, 4);  // 72 dpi
    PutLe(out, 2835, 4);
    PutLe(out, alpha ? 0 : static_cast<std::uint32_t>(colours), 4);
    PutLe(out, 0, 4);
    if (alpha) {
        PutLe(out, 0x00FF0000, 4);  // red, green, blue and alpha masks of BGRA pixels
        PutLe(out, 0x0000FF00, 4);
        PutLe(out, 0x000000FF, 4);
        PutLe(out, 0xFF000000, 4);
        PutLe(out, 0x73524742, 4);     // "sRGB"
        out.insert(out.end(), 48, 0);  // end points and gamma, unused with sRGB
    } else {
        for (const PaletteColour& c : picture.palette) {
            out.insert(out.end(), {c[2], c[1], c[0], 0});
        }
    }
    std::vector<std::uint8_t> row(rowBytes);
    for (std::size_t y = picture.height; y-- > 0;) {
        std::fill(row.begin(), row.end(), 0);
        const std::uint8_t* indices = picture.indices.data() + y * picture.width;
        for (std::size_t x = 0; x < picture.width; ++x) {
            const std::uint8_t index = indices[x];
            if (bits == 32) {
                const PaletteColour& c = picture.palette[std::min<std::size_t>(index, colours - 1)];
                std::uint8_t* p = row.data() + x * 4;
                p[0] = c[2];
                p[1] = c[1];
                p[2] = c[0];
                p[3] = c[3];
            } else if (bits == 8) {
                row[x] = index;
            } else {
                const std::size_t perByte = static_cast<std::size_t>(8 / bits);
                const int shift = 8 - bits * static_cast<int>(x % perByte + 1);
                row[x / perByte] |= static_cast<std::uint8_t>(index << shift);
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace brisklo
