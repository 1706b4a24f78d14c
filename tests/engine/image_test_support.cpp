// SPDX-License-Identifier: GPL-3.0-or-later
#include "image_test_support.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <stdexcept>
#include <thread>
#include <vector>

#include "image/magick_runtime.h"

namespace brisklo::test {
namespace fs = std::filesystem;

namespace {

std::uint32_t Crc32(const std::string& bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutBigEndian32(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>(value >> shift));
}

void PutLittleEndian16(std::string& out, std::uint16_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

std::string PngChunk(const std::string& type, const std::string& data) {
    std::string chunk;
    PutBigEndian32(chunk, static_cast<std::uint32_t>(data.size()));
    chunk += type + data;
    PutBigEndian32(chunk, Crc32(type + data));
    return chunk;
}

}  // namespace

fs::path MakeGradientImage(const fs::path& path, std::size_t width, std::size_t height,
                           const std::string& coder) {
    InitializeImageLibrary();
    Magick::Image image(Magick::Geometry(width, height), Magick::Color("black"));
    image.modifyImage();
    Magick::Pixels view(image);
    Magick::PixelPacket* pixels = view.get(0, 0, width, height);
    const double top = static_cast<double>(std::numeric_limits<Magick::Quantum>::max());
    for (std::size_t y = 0; y < height; ++y) {
        for (std::size_t x = 0; x < width; ++x) {
            Magick::PixelPacket& pixel = pixels[y * width + x];
            const double across = static_cast<double>(x) / static_cast<double>(width);
            const double down = static_cast<double>(y) / static_cast<double>(height);
            pixel.red = static_cast<Magick::Quantum>(top * across);
            pixel.green = static_cast<Magick::Quantum>(top * down);
            pixel.blue = static_cast<Magick::Quantum>(top * (1.0 - (across + down) / 2));
        }
    }
    view.sync();
    image.magick(coder);
    image.quality(95);
    image.write(path.string());
    return path;
}

fs::path MakeRotatedJpeg(const fs::path& path, std::size_t width, std::size_t height) {
    InitializeImageLibrary();
    // "Exif\0\0", a little-endian TIFF header and one IFD entry: Orientation = 6.
    const unsigned char exif[] = {'E',  'x',  'i', 'f', 0, 0, 'I', 'I', 0x2A, 0, 8, 0, 0, 0, 1, 0,
                                  0x12, 0x01, 3,   0,   1, 0, 0,   0,   6,    0, 0, 0, 0, 0, 0, 0};
    Magick::Image image;
    image.size(Magick::Geometry(width, height));
    image.read("gradient:white-black");
    image.profile("EXIF", Magick::Blob(exif, sizeof exif));
    image.orientation(Magick::RightTopOrientation);
    image.magick("JPEG");
    image.write(path.string());
    return path;
}

fs::path MakeOrientedJpeg(const fs::path& path, std::size_t width, std::size_t height,
                          int orientation) {
    InitializeImageLibrary();
    const unsigned char exif[] = {'E', 'x',  'i',  'f',  0,
                                  0,   'I',  'I',  0x2A, 0,
                                  8,   0,    0,    0,    1,
                                  0,   0x12, 0x01, 3,    0,
                                  1,   0,    0,    0,    static_cast<unsigned char>(orientation),
                                  0,   0,    0,    0,    0,
                                  0,   0};
    Magick::Image image(Magick::Geometry(width, height), Magick::Color("white"));
    const char* colours[] = {"red", "lime", "blue"};
    const double w = static_cast<double>(width) / 2;
    const double h = static_cast<double>(height) / 2;
    for (int i = 0; i < 3; ++i) {
        image.fillColor(colours[i]);
        const double x = (i % 2) * w;
        const double y = (i / 2) * h;
        image.draw(Magick::DrawableRectangle(x, y, x + w - 1, y + h - 1));
    }
    image.profile("EXIF", Magick::Blob(exif, sizeof exif));
    image.orientation(static_cast<Magick::OrientationType>(orientation));
    image.quality(95);
    image.magick("JPEG");
    image.write(path.string());
    return path;
}

fs::path MakeScreenRecording(const fs::path& path, int width, int height, int frames) {
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    if (!gif) throw std::runtime_error("cannot write " + path.string());
    GifColorType colours[4] = {
        {0x20, 0x20, 0x20}, {0x33, 0xff, 0x66}, {0xff, 0xff, 0xff}, {0, 0, 0}};
    ColorMapObject* map = GifMakeMapObject(4, colours);
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, width, height, 8, 0, map);
    GifFreeMapObject(map);
    const GifByteType loop[] = {1, 0, 0};
    EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
    EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0");
    EGifPutExtensionBlock(gif, 3, loop);
    EGifPutExtensionTrailer(gif);
    const int perLine = (width - 8) / 8;
    const int lines = std::max(1, (height - 14) / 16);
    for (int i = 0; i < frames; ++i) {
        GraphicsControlBlock control{DISPOSE_DO_NOT, false, 4, NO_TRANSPARENT_COLOR};
        GifByteType extension[4];
        EGifGCBToExtension(&control, extension);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension);
        const int left = i == 0 ? 0 : 8 * ((i - 1) % perLine);
        const int top = i == 0 ? 0 : 16 * (((i - 1) / perLine) % lines);
        const int w = i == 0 ? width : 8;
        const int h = i == 0 ? height : 14;
        EGifPutImageDesc(gif, left, top, w, h, false, nullptr);
        std::vector<GifPixelType> row(static_cast<std::size_t>(w));
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                // A glyph-like pattern: the character's own shape changes with i.
                row[static_cast<std::size_t>(x)] =
                    i == 0 ? 0 : static_cast<GifPixelType>(((x + y + i) % 3 == 0) ? 1 : 0);
            }
            EGifPutLine(gif, row.data(), w);
        }
    }
    EGifCloseFile(gif, &error);
    return path;
}

GifSummary SummariseGif(const fs::path& path) {
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif) throw std::runtime_error("cannot read " + path.string());
    GifSummary summary;
    if (DGifSlurp(gif) == GIF_OK) {
        summary.frames = static_cast<std::size_t>(gif->ImageCount);
        summary.width = static_cast<std::size_t>(gif->SWidth);
        summary.height = static_cast<std::size_t>(gif->SHeight);
        for (int i = 0; i < gif->ImageCount; ++i) {
            GraphicsControlBlock control{};
            if (DGifSavedExtensionToGCB(gif, i, &control) == GIF_OK) {
                summary.totalDelay += static_cast<std::size_t>(control.DelayTime);
            }
            const GifImageDesc& desc = gif->SavedImages[i].ImageDesc;
            if (i > 0) {
                summary.largestLaterArea = std::max(
                    summary.largestLaterArea, static_cast<std::size_t>(desc.Width * desc.Height));
            }
        }
    }
    DGifCloseFile(gif, &error);
    return summary;
}

fs::path MakeTransparentPng(const fs::path& path, std::size_t width, std::size_t height) {
    InitializeImageLibrary();
    Magick::Image image(Magick::Geometry(width, height), Magick::Color("transparent"));
    image.fillColor("red");
    image.draw(Magick::DrawableRectangle(
        static_cast<double>(width) / 4, static_cast<double>(height) / 4,
        static_cast<double>(width) * 3 / 4, static_cast<double>(height) * 3 / 4));
    image.magick("PNG");
    image.write(path.string());
    return path;
}

std::string FrameColour(std::size_t index) {
    static const char* const kColours[] = {"#ff0000", "#00ff00", "#0000ff", "#ffff00",
                                           "#ff00ff", "#00ffff", "#800000", "#008000",
                                           "#000080", "#808000", "#800080", "#008080"};
    return kColours[index % (sizeof kColours / sizeof kColours[0])];
}

fs::path MakeAnimation(const fs::path& path, std::size_t width, std::size_t height,
                       const std::vector<std::size_t>& delays, std::size_t iterations) {
    InitializeImageLibrary();
    std::vector<Magick::Image> frames;
    for (std::size_t i = 0; i < delays.size(); ++i) {
        Magick::Image frame(Magick::Geometry(width, height), Magick::Color(FrameColour(i)));
        frame.animationDelay(delays[i]);
        frame.animationIterations(iterations);
        frames.push_back(frame);
    }
    Magick::writeImages(frames.begin(), frames.end(), "GIF:" + path.string());
    return path;
}

std::vector<Magick::Image> ReadFrames(const fs::path& path) {
    InitializeImageLibrary();
    std::vector<Magick::Image> frames;
    Magick::readImages(&frames, path.string());
    return frames;
}

std::string PixelColour(const Magick::Image& image, std::size_t x, std::size_t y) {
    const Magick::ColorRGB colour = image.pixelColor(x, y);
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x",
                  static_cast<unsigned>(colour.red() * 255.0 + 0.5),
                  static_cast<unsigned>(colour.green() * 255.0 + 0.5),
                  static_cast<unsigned>(colour.blue() * 255.0 + 0.5));
    return text;
}

std::string PngHeaderBytes(std::uint32_t width, std::uint32_t height) {
    std::string ihdr;
    PutBigEndian32(ihdr, width);
    PutBigEndian32(ihdr, height);
    ihdr += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB, no interlace
    // A zlib stream of a few zero bytes: far too little for the declared size.
    const std::string idat("\x78\x9c\x63\x60\x00\x00\x00\x02\x00\x01", 10);
    return std::string("\x89PNG\r\n\x1a\n", 8) + PngChunk("IHDR", ihdr) + PngChunk("IDAT", idat) +
           PngChunk("IEND", "");
}

std::string TinyGifBytes(std::uint16_t width, std::uint16_t height, std::size_t frames) {
    std::string gif = "GIF89a";
    PutLittleEndian16(gif, width);
    PutLittleEndian16(gif, height);
    gif += std::string("\x80\x00\x00", 3);  // global table of 2 colours
    gif += std::string("\x00\x00\x00\xff\xff\xff", 6);
    for (std::size_t i = 0; i < frames; ++i) {
        gif += std::string("\x21\xf9\x04\x00\x0a\x00\x00\x00", 8);  // 1/10 s delay
        gif += '\x2c';
        PutLittleEndian16(gif, 0);
        PutLittleEndian16(gif, 0);
        PutLittleEndian16(gif, width);
        PutLittleEndian16(gif, height);
        gif += '\x00';
        // LZW minimum code size 2; one sub-block holding clear (4) and end (5).
        gif += std::string("\x02\x01\x2c\x00", 4);
    }
    gif += '\x3b';
    return gif;
}

std::vector<fs::path> FilesStartingWith(const fs::path& folder, const std::string& prefix) {
    std::vector<fs::path> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (entry.path().filename().string().starts_with(prefix)) found.push_back(entry.path());
    }
    return found;
}

bool WaitUntil(const std::function<bool()>& predicate, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!predicate()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

}  // namespace brisklo::test
