// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/pixel_resize.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace brisklo {
namespace {

std::vector<std::uint8_t> Filled(PixelSize size, std::vector<std::uint8_t> pixel) {
    std::vector<std::uint8_t> pixels;
    for (std::int64_t i = 0; i < size.Area(); ++i) {
        pixels.insert(pixels.end(), pixel.begin(), pixel.end());
    }
    return pixels;
}

// Flat colours come out exactly as they went in, channel by channel, whether the
// picture shrinks, grows or changes its aspect: no range squeeze, no channel mixed
// into another, full black and white kept.
TEST(PixelResize, FlatColoursKeepEveryChannelExactly) {
    const std::vector<std::vector<std::uint8_t>> pixels = {
        {0}, {255}, {10, 128, 240}, {255, 0, 0}, {10, 128, 240, 255}, {0, 255, 90, 200}};
    for (const auto& pixel : pixels) {
        const int channels = static_cast<int>(pixel.size());
        for (const PixelSize to : {PixelSize{37, 23}, PixelSize{150, 40}}) {
            for (const ResizeFilter filter : {ResizeFilter::Lanczos, ResizeFilter::Mitchell}) {
                const auto resized =
                    ResizeChannels(Filled({97, 61}, pixel), {97, 61}, channels, to, filter);
                ASSERT_TRUE(resized) << resized.error().message;
                EXPECT_EQ(resized.value(), Filled(to, pixel))
                    << channels << " channels to " << to.width << "x" << to.height;
            }
        }
    }
}

// Left half opaque red, right half transparent black: shrinking must not darken
// the red along the edge with the colour hidden under the transparency.
TEST(PixelResize, TransparentColourDoesNotBleedIntoEdges) {
    const PixelSize from{64, 16};
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(from.Area() * 4), 0);
    for (std::int64_t y = 0; y < from.height; ++y) {
        for (std::int64_t x = 0; x < from.width / 2; ++x) {
            std::uint8_t* p = &pixels[static_cast<std::size_t>((y * from.width + x) * 4)];
            p[0] = 255;
            p[3] = 255;
        }
    }
    const auto resized = ResizeChannels(pixels, from, 4, {21, 5}, ResizeFilter::Lanczos);
    ASSERT_TRUE(resized) << resized.error().message;
    int partlyVisible = 0;
    for (std::size_t i = 0; i < resized.value().size(); i += 4) {
        const std::uint8_t* p = &resized.value()[i];
        if (p[3] == 0) continue;
        if (p[3] < 255) ++partlyVisible;
        EXPECT_GE(p[0], 250) << "pixel " << i / 4 << " alpha " << int(p[3]);
        EXPECT_LE(p[1], 5);
        EXPECT_LE(p[2], 5);
    }
    EXPECT_GT(partlyVisible, 0) << "the edge should blend into transparency";
}

TEST(PixelResize, MismatchedBufferIsRefused) {
    const std::vector<std::uint8_t> pixels(10 * 10 * 3 - 1);
    EXPECT_FALSE(ResizeChannels(pixels, {10, 10}, 3, {5, 5}, ResizeFilter::Lanczos));
    EXPECT_FALSE(
        ResizeChannels(std::vector<std::uint8_t>(100), {10, 10}, 1, {0, 5}, ResizeFilter::Lanczos));
}

}  // namespace
}  // namespace brisklo
