// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/image_sniff.h"

#include <gtest/gtest.h>

#include "image_test_support.h"
#include "test_support.h"

namespace brisklo {
namespace {
namespace fs = std::filesystem;
using test::TempDir;

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

std::vector<std::uint8_t> FileBytes(const fs::path& path) { return Bytes(test::ReadFile(path)); }

TEST(ImageSniff, KnowsTheFourFormatsByContent) {
    TempDir dir;
    const struct {
        const char* coder;
        ImageFormat format;
    } cases[] = {{"JPEG", ImageFormat::Jpeg},
                 {"PNG", ImageFormat::Png},
                 {"BMP", ImageFormat::Bmp},
                 {"GIF", ImageFormat::Gif}};
    for (const auto& c : cases) {
        // The name says nothing: the content decides.
        const fs::path path =
            test::MakeGradientImage(dir / (std::string(c.coder) + ".dat"), 37, 23, c.coder);
        const auto bytes = FileBytes(path);
        EXPECT_EQ(SniffImageFormat(bytes), c.format) << c.coder;
        const auto size = DeclaredImageSize(bytes, c.format);
        ASSERT_TRUE(size.has_value()) << c.coder;
        EXPECT_EQ(size->width, 37u) << c.coder;
        EXPECT_EQ(size->height, 23u) << c.coder;
    }
}

TEST(ImageSniff, RefusesEverythingElse) {
    const char* const contents[] = {
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10\" height=\"10\"/>",
        "<?xml version=\"1.0\"?><svg/>",
        "push graphic-context\nviewbox 0 0 10 10\nimage over 0,0 0,0 'x.png'\n",            // MVG
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><image><read filename=\"x\"/></image>",  // MSL
        "hello, this is text\n",
        "II*\0",  // TIFF
        "BM",     // two letters are no bitmap
        "",
    };
    for (const char* content : contents) {
        EXPECT_FALSE(SniffImageFormat(Bytes(content)).has_value()) << content;
    }
}

TEST(ImageSniff, ReadsTheSizeABombDeclares) {
    const auto bytes = Bytes(test::PngHeaderBytes(100000, 100000));
    ASSERT_EQ(SniffImageFormat(bytes), ImageFormat::Png);
    const auto size = DeclaredImageSize(bytes, ImageFormat::Png);
    ASSERT_TRUE(size.has_value());
    EXPECT_EQ(size->width, 100000u);
    EXPECT_EQ(size->height, 100000u);
}

TEST(ImageSniff, CountsGifFramesWithoutDecoding) {
    TempDir dir;
    const fs::path gif = test::MakeAnimation(dir / "a.gif", 20, 10, {5, 5, 5, 5, 5, 5, 5});
    const auto census = CountGifFrames(FileBytes(gif));
    ASSERT_TRUE(census.has_value());
    EXPECT_EQ(census->frames, 7u);
    EXPECT_EQ(census->canvasPixels, 7u * 20u * 10u);

    const auto big = CountGifFrames(Bytes(test::TinyGifBytes(1920, 1080, 1500)));
    ASSERT_TRUE(big.has_value());
    EXPECT_EQ(big->frames, 1500u);
    EXPECT_EQ(big->canvasPixels, 1500ull * 1920 * 1080);
}

TEST(ImageSniff, CutGifStillCountsWhatItHolds) {
    std::string gif = test::TinyGifBytes(100, 100, 5);
    gif.resize(gif.size() - 3);  // into the last frame's image data
    const auto census = CountGifFrames(Bytes(gif));
    ASSERT_TRUE(census.has_value());
    EXPECT_EQ(census->frames, 5u);
    EXPECT_FALSE(CountGifFrames(Bytes("GIF89a")).has_value());
}

}  // namespace
}  // namespace brisklo
