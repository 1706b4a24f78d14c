// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/shadow_bitmap.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace brisklo::ui {
namespace {

std::uint32_t Alpha(std::uint32_t pixel) { return pixel >> 24; }

// The dialogs' shadow: size 4, no offset, grey #9E9D9D.
ShadowStyle BoxStyle() {
    ShadowStyle style;
    style.size = 4;
    style.offsetX = 0;
    style.offsetY = 0;
    style.color = {0x9E, 0x9D, 0x9D};
    return style;
}

std::vector<Span> Rectangle(int width, int height) {
    return ShapeSpans(width, height, [](int, int) { return true; });
}

// Every pixel under the window's rows, moved into shadow coordinates, is clear.
void ExpectClearUnderWindow(const ShadowBitmap& bitmap, const std::vector<Span>& shape,
                            const ShadowStyle& style) {
    for (int y = 0; y < static_cast<int>(shape.size()); ++y) {
        const int sy = y + style.size - style.offsetY;
        if (sy < 0 || sy >= bitmap.height) continue;
        for (int x = shape[y].left; x < shape[y].right; ++x) {
            const int sx = x + style.size - style.offsetX;
            if (sx < 0 || sx >= bitmap.width) continue;
            ASSERT_EQ(bitmap.At(sx, sy), 0u) << "window pixel " << x << "," << y;
        }
    }
}

TEST(ShadowKernel, RowThroughTheCentreFadesFromTheDarknessOverSixPixels) {
    const ShadowKernel kernel = MakeShadowKernel(BoxStyle());
    ASSERT_EQ(kernel.radius, 5);
    ASSERT_EQ(kernel.cells.size(), 121u);
    std::vector<std::uint32_t> alphas;
    for (int dx = -5; dx <= 5; ++dx) alphas.push_back(Alpha(kernel.At(dx, 0)));
    EXPECT_EQ(alphas,
              (std::vector<std::uint32_t>{24, 50, 75, 100, 125, 150, 125, 100, 75, 50, 24}));
    // Same down the centre column; corners lie beyond the radius.
    for (int dy = -5; dy <= 5; ++dy) EXPECT_EQ(kernel.At(0, dy), kernel.At(dy, 0));
    EXPECT_EQ(kernel.At(-5, -5), 0u);
    EXPECT_EQ(kernel.At(4, 3), PremultipliedPixel(BoxStyle().color, 24));  // distance 5
    EXPECT_EQ(kernel.At(4, 4), 0u);                                        // distance 5.66
}

TEST(ShadowKernel, LargeSizeHasASolidCoreOfFullDarkness) {
    ShadowStyle style = BoxStyle();
    style.size = 9;  // core radius 4, fading over the next 5 pixels
    const ShadowKernel kernel = MakeShadowKernel(style);
    ASSERT_EQ(kernel.radius, 9);
    for (int dx = 0; dx < 4; ++dx) EXPECT_EQ(Alpha(kernel.At(dx, 0)), 150u) << dx;
    std::vector<std::uint32_t> fade;
    for (int dx = 4; dx <= 9; ++dx) fade.push_back(Alpha(kernel.At(dx, 0)));
    EXPECT_EQ(fade, (std::vector<std::uint32_t>{150, 125, 100, 75, 50, 24}));
    EXPECT_EQ(kernel.At(9, 1), 0u);
}

TEST(ShadowPixel, IsPremultipliedArgb) {
    EXPECT_EQ(PremultipliedPixel({0x9E, 0x9D, 0x9D}, 150), 0x965C5C5Cu);
    EXPECT_EQ(PremultipliedPixel({0xFF, 0x80, 0x00}, 255), 0xFFFF8000u);
    EXPECT_EQ(PremultipliedPixel({0xFF, 0xFF, 0xFF}, 0), 0u);
    EXPECT_EQ(PremultipliedPixel({0, 0, 0}, 24), 0x18000000u);
}

TEST(ShapeSpans, TakeTheOuterExtentOfEachRow) {
    // Row 0: a triangle's edge; row 1: two pieces with a gap; row 2: nothing;
    // row 3: a single pixel at the right end.
    const auto contains = [](int x, int y) {
        switch (y) {
            case 0:
                return x <= 2;
            case 1:
                return x == 1 || x == 6;
            case 2:
                return false;
            default:
                return x == 7;
        }
    };
    const std::vector<Span> spans = ShapeSpans(8, 4, contains);
    const std::vector<Span> expected = {{0, 3}, {1, 7}, {8, 0}, {7, 8}};
    EXPECT_EQ(spans, expected);
    EXPECT_TRUE(spans[2].empty());
}

TEST(RenderShadow, RectangleWithSizeFourHasTheFourPixelBandAndAClearWindowArea) {
    constexpr int kWidth = 40;
    constexpr int kHeight = 30;
    const ShadowStyle style = BoxStyle();
    const auto shape = Rectangle(kWidth, kHeight);
    const ShadowBitmap bitmap = RenderShadow(shape, kWidth, kHeight, style);
    ASSERT_EQ(bitmap.width, kWidth + 8);
    ASSERT_EQ(bitmap.height, kHeight + 8);
    ExpectClearUnderWindow(bitmap, shape, style);

    const std::vector<std::uint32_t> band = {100, 75, 50, 24};
    for (int y = 10; y < kHeight - 2; ++y) {
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(Alpha(bitmap.At(3 - i, y)), band[i]) << "left, row " << y;
            EXPECT_EQ(Alpha(bitmap.At(kWidth + 4 + i, y)), band[i]) << "right, row " << y;
        }
    }
    for (int x = 10; x < kWidth - 2; ++x) {
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(Alpha(bitmap.At(x, 3 - i)), band[i]) << "top, column " << x;
            EXPECT_EQ(Alpha(bitmap.At(x, kHeight + 4 + i)), band[i]) << "bottom, column " << x;
        }
    }
    // The band is grey, premultiplied.
    EXPECT_EQ(bitmap.At(3, 15), PremultipliedPixel(style.color, 100));
    EXPECT_EQ(bitmap.At(0, 15), PremultipliedPixel(style.color, 24));
    // The outermost corner pixels lie beyond the kernel.
    EXPECT_EQ(bitmap.At(0, 0), 0u);
    EXPECT_EQ(bitmap.At(bitmap.width - 1, 0), 0u);
    EXPECT_EQ(bitmap.At(0, bitmap.height - 1), 0u);
    EXPECT_EQ(bitmap.At(bitmap.width - 1, bitmap.height - 1), 0u);
    // The corner is rounded: distance from the nearest stamp centre (5, 5).
    EXPECT_EQ(Alpha(bitmap.At(3, 3)), 79u);  // distance 2.83
    EXPECT_EQ(Alpha(bitmap.At(1, 1)), 0u);   // distance 5.66
}

TEST(RenderShadow, LargeSizeFillsTheSolidCoreAroundTheWindow) {
    constexpr int kWidth = 30;
    constexpr int kHeight = 20;
    ShadowStyle style = BoxStyle();
    style.size = 12;  // a 7-pixel solid ring, then the 6-step fade
    const auto shape = Rectangle(kWidth, kHeight);
    const ShadowBitmap bitmap = RenderShadow(shape, kWidth, kHeight, style);
    ASSERT_EQ(bitmap.width, kWidth + 24);
    ExpectClearUnderWindow(bitmap, shape, style);
    const std::uint32_t solid = PremultipliedPixel(style.color, 150);
    const int y = 12 + kHeight / 2;
    // Going outward from the window's left edge (shadow column 11).
    std::vector<std::uint32_t> alphas;
    for (int x = 11; x >= 0; --x) alphas.push_back(Alpha(bitmap.At(x, y)));
    EXPECT_EQ(alphas, (std::vector<std::uint32_t>{150, 150, 150, 150, 150, 150, 150, 125, 100, 75,
                                                  50, 24}));
    EXPECT_EQ(bitmap.At(11, y), solid);
}

TEST(RenderShadow, DefaultStyleShowsOnlyRightAndBelow) {
    constexpr int kWidth = 50;
    constexpr int kHeight = 40;
    const ShadowStyle style;  // size 0, offsets (5, 5), black
    const auto shape = Rectangle(kWidth, kHeight);
    const ShadowBitmap bitmap = RenderShadow(shape, kWidth, kHeight, style);
    ASSERT_EQ(bitmap.width, kWidth);
    ASSERT_EQ(bitmap.height, kHeight);
    ExpectClearUnderWindow(bitmap, shape, style);
    // The window covers everything left of and above (45, 35) in shadow
    // coordinates; the rest fades from the eroded edge at column 44 / row 34.
    for (int y = 0; y < kHeight - 5; ++y) {
        for (int x = 0; x < kWidth - 5; ++x) ASSERT_EQ(bitmap.At(x, y), 0u) << x << "," << y;
    }
    const std::vector<std::uint32_t> fade = {125, 100, 75, 50, 24};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(Alpha(bitmap.At(kWidth - 5 + i, 20)), fade[i]);
        EXPECT_EQ(Alpha(bitmap.At(20, kHeight - 5 + i)), fade[i]);
        EXPECT_EQ(bitmap.At(kWidth - 5 + i, 20) & 0x00FFFFFFu, 0u);  // black
    }
    // It starts fading in below the top and right of the left edge.
    EXPECT_EQ(bitmap.At(kWidth - 5, 0), 0u);
    EXPECT_EQ(bitmap.At(0, kHeight - 5), 0u);
    EXPECT_GT(Alpha(bitmap.At(kWidth - 5, 5)), 0u);
}

TEST(RenderShadow, LShapeGetsTheBandAlongItsInnerEdges) {
    // 40 x 30: the top half is full width, the bottom half only the left 20 columns.
    constexpr int kWidth = 40;
    constexpr int kHeight = 30;
    const auto shape = ShapeSpans(kWidth, kHeight, [](int x, int y) { return y < 15 || x < 20; });
    const ShadowStyle style = BoxStyle();
    const ShadowBitmap bitmap = RenderShadow(shape, kWidth, kHeight, style);
    ExpectClearUnderWindow(bitmap, shape, style);
    const std::vector<std::uint32_t> band = {100, 75, 50, 24};
    // Right of the lower part: window column 20 is shadow column 24.
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Alpha(bitmap.At(24 + i, 4 + 25)), band[i]) << i;
    EXPECT_EQ(bitmap.At(28, 4 + 25), 0u);
    // Below the overhang of the upper part: window row 15 is shadow row 19.
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Alpha(bitmap.At(4 + 30, 19 + i)), band[i]) << i;
    EXPECT_EQ(bitmap.At(4 + 30, 23), 0u);
    // The notch's inner corner is shaded from both edges.
    EXPECT_EQ(Alpha(bitmap.At(24, 19)), 100u);
    // The outside of the L keeps its ordinary band.
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Alpha(bitmap.At(3 - i, 20)), band[i]);
}

TEST(RenderShadow, RoundedRectangleIsSymmetricAndClearInside) {
    static constexpr int kWidth = 60;
    static constexpr int kHeight = 36;
    static constexpr int kRadius = 8;
    // A rounded rectangle built from four quarter circles.
    const auto contains = [](int x, int y) {
        const int cx = std::clamp(x, kRadius, kWidth - 1 - kRadius);
        const int cy = std::clamp(y, kRadius, kHeight - 1 - kRadius);
        const int dx = x - cx;
        const int dy = y - cy;
        return dx * dx + dy * dy <= kRadius * kRadius;
    };
    const auto shape = ShapeSpans(kWidth, kHeight, contains);
    ASSERT_EQ(shape[0], (Span{8, 52}));
    ASSERT_EQ(shape[kHeight / 2], (Span{0, kWidth}));
    const ShadowStyle style = BoxStyle();
    const ShadowBitmap bitmap = RenderShadow(shape, kWidth, kHeight, style);
    ExpectClearUnderWindow(bitmap, shape, style);
    for (int y = 0; y < bitmap.height; ++y) {
        for (int x = 0; x < bitmap.width; ++x) {
            ASSERT_EQ(bitmap.At(x, y), bitmap.At(bitmap.width - 1 - x, y)) << x << "," << y;
            ASSERT_EQ(bitmap.At(x, y), bitmap.At(x, bitmap.height - 1 - y)) << x << "," << y;
        }
    }
    // Straight edges keep the band; the rounded corner is shaded right outside
    // the curve, where a square corner would have been clear window area.
    const std::vector<std::uint32_t> band = {100, 75, 50, 24};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Alpha(bitmap.At(3 - i, 4 + 18)), band[i]) << i;
    EXPECT_GT(Alpha(bitmap.At(4 + 1, 4 + 1)), 0u);
    // Far from the shape nothing is drawn.
    EXPECT_EQ(bitmap.At(0, 0), 0u);
}

TEST(RenderShadow, OffsetMovesTheShadowAgainstTheWindow) {
    constexpr int kWidth = 40;
    constexpr int kHeight = 30;
    ShadowStyle style = BoxStyle();
    style.offsetX = 3;
    style.offsetY = -2;
    const auto shape = Rectangle(kWidth, kHeight);
    const ShadowBitmap bitmap = RenderShadow(shape, kWidth, kHeight, style);
    ExpectClearUnderWindow(bitmap, shape, style);
    // The window sits at shadow column 1, row 6; on the right the shadow now
    // reaches 7 pixels past it, on the left 1 pixel.
    const int y = 20;
    EXPECT_EQ(Alpha(bitmap.At(0, y)), 24u);  // five pixels left of the soft edge's column 5
    std::vector<std::uint32_t> right;
    for (int x = 1 + kWidth; x < bitmap.width; ++x) right.push_back(Alpha(bitmap.At(x, y)));
    EXPECT_EQ(right, (std::vector<std::uint32_t>{150, 150, 125, 100, 75, 50, 24}));
    // Raised by two rows, the shadow shows six rows above the window: its solid
    // top row, then the fade.
    std::vector<std::uint32_t> above;
    for (int sy = 5; sy >= 0; --sy) above.push_back(Alpha(bitmap.At(20, sy)));
    EXPECT_EQ(above, (std::vector<std::uint32_t>{150, 125, 100, 75, 50, 24}));
    // Below, only the last two steps of the fade are left.
    std::vector<std::uint32_t> below;
    for (int sy = 6 + kHeight; sy < bitmap.height; ++sy) below.push_back(Alpha(bitmap.At(20, sy)));
    EXPECT_EQ(below, (std::vector<std::uint32_t>{50, 24}));
}

TEST(RenderShadow, NegativeSizeGivesASmallerBitmapInsideItsBounds) {
    constexpr int kWidth = 50;
    constexpr int kHeight = 40;
    ShadowStyle style;
    style.size = -3;
    style.offsetX = 8;
    style.offsetY = 8;
    const auto shape = Rectangle(kWidth, kHeight);
    const ShadowBitmap bitmap = RenderShadow(shape, kWidth, kHeight, style);
    ASSERT_EQ(bitmap.width, kWidth - 6);
    ASSERT_EQ(bitmap.height, kHeight - 6);
    ExpectClearUnderWindow(bitmap, shape, style);
    // The shadow peeks out at the bottom right only.
    EXPECT_GT(Alpha(bitmap.At(bitmap.width - 3, bitmap.height - 3)), 0u);
    EXPECT_EQ(bitmap.At(2, 2), 0u);
}

TEST(RenderShadow, WindowTooSmallForTheBitmapGivesNothing) {
    ShadowStyle style;
    style.size = -20;
    EXPECT_TRUE(RenderShadow(Rectangle(30, 100), 30, 100, style).empty());
    EXPECT_TRUE(RenderShadow({}, 0, 0, BoxStyle()).empty());
    EXPECT_TRUE(RenderShadow(Rectangle(10, 10), 10, 9, BoxStyle()).empty());  // wrong row count
}

TEST(RenderShadow, WindowWithoutAnyPixelsCastsNoShadow) {
    const auto shape = ShapeSpans(20, 10, [](int, int) { return false; });
    const ShadowBitmap bitmap = RenderShadow(shape, 20, 10, BoxStyle());
    ASSERT_EQ(bitmap.width, 28);
    for (std::uint32_t pixel : bitmap.pixels) ASSERT_EQ(pixel, 0u);
}

TEST(RenderShadow, TinyWindowStaysInsideTheBitmap) {
    // Smaller than the kernel: nothing survives erosion, nothing is written out of bounds.
    for (int size = -20; size <= 20; ++size) {
        ShadowStyle style = BoxStyle();
        style.size = size;
        style.offsetX = 20;
        style.offsetY = -20;
        const auto shape = Rectangle(41, 41);
        const ShadowBitmap bitmap = RenderShadow(shape, 41, 41, style);
        ASSERT_EQ(bitmap.width, 41 + 2 * size);
        ASSERT_EQ(bitmap.pixels.size(), static_cast<std::size_t>(bitmap.width * bitmap.height));
        ExpectClearUnderWindow(bitmap, shape, style);
    }
}

}  // namespace
}  // namespace brisklo::ui
