// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

// The drop shadow's pixels, computed from a window's shape. Plain C++: nothing
// here knows about windows, so every pixel can be checked in tests.
namespace brisklo::ui {

// The columns [left, right) of one row of a shape. A row with nothing in it is
// stored as (width, 0), which is empty (left >= right).
struct Span {
    int left = 0;
    int right = 0;
    bool empty() const { return left >= right; }
    bool operator==(const Span&) const = default;
};

struct ShadowColor {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

struct ShadowStyle {
    int size = 0;        // how far the shadow reaches beyond the window on every side
    int sharpness = 5;   // width of the soft edge in pixels
    int darkness = 150;  // alpha of the darkest pixels, 0..255
    int offsetX = 5;     // shift of the shadow against the window
    int offsetY = 5;
    ShadowColor color;  // black
};

// Premultiplied 0xAARRGGBB pixels, rows from the top: the layout of
// QImage::Format_ARGB32_Premultiplied.
struct ShadowBitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
    bool empty() const { return pixels.empty(); }
};

// The blur kernel: (2 * radius + 1)² premultiplied pixels, row by row.
struct ShadowKernel {
    int radius = 0;
    std::vector<std::uint32_t> cells;

    // The cell at offset (dx, dy) from the centre.
    std::uint32_t At(int dx, int dy) const {
        const int side = 2 * radius + 1;
        return cells[static_cast<std::size_t>((dy + radius) * side + dx + radius)];
    }
};

// For each of the height rows, the outer extent of the pixels of a width-wide
// shape: the leftmost and one past the rightmost pixel for which contains(x, y)
// holds; (width, 0) for a row without any. Holes inside a row are not kept.
std::vector<Span> ShapeSpans(int width, int height,
                             const std::function<bool(int x, int y)>& contains);

// a in the top byte, then red, green and blue each scaled by a / 255.
std::uint32_t PremultipliedPixel(ShadowColor color, std::uint8_t alpha);

ShadowKernel MakeShadowKernel(const ShadowStyle& style);

// The shadow of a width x height window whose rows are shapeSpans (one per row,
// from ShapeSpans). The bitmap is (width + 2 * size) x (height + 2 * size) and
// is meant to be shown at the window's top-left corner + (offsetX - size,
// offsetY - size); where it lies under the window it is fully transparent.
// Empty when the window or the bitmap would have no pixels.
ShadowBitmap RenderShadow(const std::vector<Span>& shapeSpans, int width, int height,
                          const ShadowStyle& style);

}  // namespace brisklo::ui
