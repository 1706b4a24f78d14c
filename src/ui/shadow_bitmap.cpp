// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/shadow_bitmap.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace brisklo::ui {

namespace {

// Writes the rows of the bitmap through clipped helpers: the algorithm keeps
// every write inside the bitmap for shapes made by ShapeSpans, and the clipping
// keeps it so for any spans a caller hands in.
class Canvas {
  public:
    explicit Canvas(ShadowBitmap& bitmap) : m_bitmap(bitmap) {}

    void Fill(int y, int from, int to, std::uint32_t value) {
        if (y < 0 || y >= m_bitmap.height) return;
        from = std::max(from, 0);
        to = std::min(to, m_bitmap.width);
        for (int x = from; x < to; ++x) Pixel(x, y) = value;
    }

    // Lays the kernel centred on (cx, cy), keeping the larger of each pair of
    // pixels. Premultiplied pixels of one colour grow with their alpha, so
    // comparing them as numbers compares their alphas.
    void Stamp(const ShadowKernel& kernel, int cx, int cy) {
        const int r = kernel.radius;
        for (int dy = -r; dy <= r; ++dy) {
            const int y = cy + dy;
            if (y < 0 || y >= m_bitmap.height) continue;
            for (int dx = -r; dx <= r; ++dx) {
                const int x = cx + dx;
                if (x < 0 || x >= m_bitmap.width) continue;
                const std::uint32_t value = kernel.At(dx, dy);
                std::uint32_t& pixel = Pixel(x, y);
                if (pixel < value) pixel = value;
            }
        }
    }

  private:
    std::uint32_t& Pixel(int x, int y) {
        return m_bitmap
            .pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_bitmap.width) +
                    static_cast<std::size_t>(x)];
    }

    ShadowBitmap& m_bitmap;
};

// The shadow's shape: the window's rows moved into shadow columns, with an
// empty row above and below, shrunk by erosion until only the part that keeps
// the full darkness is left.
std::vector<Span> ErodedShadowSpans(const std::vector<Span>& shape, int width, int height,
                                    const ShadowStyle& style) {
    const int size = style.size;
    const Span emptyRow{width, 0};
    const int rows = std::max(height, height + 2 * size);
    // Index 0 and rows + 1 are the empty rows around the shape.
    std::vector<Span> spans(static_cast<std::size_t>(rows) + 2, emptyRow);
    const int firstShapeRow = 1 + std::max(size, 0);
    for (int y = 0; y < height; ++y) {
        const Span& row = shape[static_cast<std::size_t>(y)];
        spans[static_cast<std::size_t>(firstShapeRow + y)] =
            row.empty() ? emptyRow : Span{row.left + size, row.right + size};
    }

    // Each pass takes one pixel off every side: a row keeps only what it shares
    // with the rows above and below, one pixel in from each end.
    std::vector<Span> next(spans.size(), emptyRow);
    for (int pass = 0; pass < style.sharpness - size; ++pass) {
        for (std::size_t j = 1; j <= static_cast<std::size_t>(rows); ++j) {
            next[j].left = std::max({spans[j - 1].left, spans[j].left, spans[j + 1].left}) + 1;
            next[j].right = std::min({spans[j - 1].right, spans[j].right, spans[j + 1].right}) - 1;
        }
        spans.swap(next);
    }
    return spans;
}

}  // namespace

std::vector<Span> ShapeSpans(int width, int height,
                             const std::function<bool(int x, int y)>& contains) {
    std::vector<Span> spans;
    spans.reserve(static_cast<std::size_t>(std::max(height, 0)));
    for (int y = 0; y < height; ++y) {
        Span span{width, 0};
        int left = 0;
        while (left < width && !contains(left, y)) ++left;
        if (left < width) {
            int right = width - 1;
            while (right > left && !contains(right, y)) --right;
            span = Span{left, right + 1};
        }
        spans.push_back(span);
    }
    return spans;
}

std::uint32_t PremultipliedPixel(ShadowColor color, std::uint8_t alpha) {
    const std::uint32_t a = alpha;
    return (a << 24) | ((color.red * a / 255) << 16) | ((color.green * a / 255) << 8) |
           (color.blue * a / 255);
}

ShadowKernel MakeShadowKernel(const ShadowStyle& style) {
    ShadowKernel kernel;
    kernel.radius = std::max(style.size, style.sharpness);
    const int r = kernel.radius;
    // Inside the core radius the shadow is at full darkness; from there it fades
    // over sharpness + 1 pixels.
    const int core = std::max(0, style.size - style.sharpness);
    kernel.cells.reserve(static_cast<std::size_t>((2 * r + 1) * (2 * r + 1)));
    for (int dy = -r; dy <= r; ++dy) {
        for (int dx = -r; dx <= r; ++dx) {
            const double distance = std::sqrt(static_cast<double>(dx * dx + dy * dy));
            std::uint32_t cell = 0;
            if (distance < core) {
                cell = PremultipliedPixel(style.color, static_cast<std::uint8_t>(style.darkness));
            } else if (distance <= r) {
                // Never negative: distance - core <= sharpness here. Truncated,
                // so distance 5 at sharpness 5 gives 24, not 25.
                const double fade =
                    (1 - (distance - core) / (style.sharpness + 1)) * style.darkness;
                const auto alpha =
                    static_cast<std::uint8_t>(static_cast<std::uint32_t>(fade) & 0xFF);
                cell = PremultipliedPixel(style.color, alpha);
            }
            kernel.cells.push_back(cell);
        }
    }
    return kernel;
}

ShadowBitmap RenderShadow(const std::vector<Span>& shapeSpans, int width, int height,
                          const ShadowStyle& style) {
    ShadowBitmap bitmap;
    const int size = style.size;
    const int shadowWidth = width + 2 * size;
    const int shadowHeight = height + 2 * size;
    if (width <= 0 || height <= 0 || shadowWidth <= 0 || shadowHeight <= 0 ||
        shapeSpans.size() != static_cast<std::size_t>(height)) {
        return bitmap;
    }
    bitmap.width = shadowWidth;
    bitmap.height = shadowHeight;
    bitmap.pixels.assign(static_cast<std::size_t>(shadowWidth) * shadowHeight, 0);
    Canvas canvas(bitmap);

    const std::vector<Span> spans = ErodedShadowSpans(shapeSpans, width, height, style);
    // Shadow row y is the window's row y - size. With a negative size the array
    // starts with the window's first row, which lies above the bitmap.
    const int rowShift = 1 + std::max(0, -size);
    const auto row = [&](int y) -> const Span& {
        return spans[static_cast<std::size_t>(y + rowShift)];
    };

    // Soft edges: the kernel goes only on the end columns of each row, as far in
    // as the neighbouring rows leave the row's end exposed; the interior is
    // filled with the solid value below.
    const ShadowKernel kernel = MakeShadowKernel(style);
    const int r = kernel.radius;
    for (int y = r; y < shadowHeight - r; ++y) {
        const Span& span = row(y);
        if (span.empty()) continue;
        const Span& above = row(y - 1);
        const Span& below = row(y + 1);
        int x = span.left;
        for (; x < std::min(std::max(above.left, below.left) + 1, span.right); ++x) {
            canvas.Stamp(kernel, x, y);
        }
        for (x = std::max(x, std::min(above.right, below.right) - 1); x < span.right; ++x) {
            canvas.Stamp(kernel, x, y);
        }
    }

    // Solid core, and the cut-out where the window itself covers the shadow.
    const std::uint32_t solid =
        PremultipliedPixel(style.color, static_cast<std::uint8_t>(style.darkness));
    const int firstRow = std::min(r, std::max(0, size - style.offsetY));
    const int endRow =
        std::max(shadowHeight - r, std::min(height + size - style.offsetY, shadowHeight));
    for (int y = firstRow; y < endRow; ++y) {
        const Span& span = row(y);
        const int windowRow = y + style.offsetY - size;
        if (windowRow < 0 || windowRow >= height) {
            canvas.Fill(y, span.left, span.right, solid);
            continue;
        }
        const Span& covered = shapeSpans[static_cast<std::size_t>(windowRow)];
        const int coveredLeft = covered.left - style.offsetX + size;
        const int coveredRight = covered.right - style.offsetX + size;
        canvas.Fill(y, span.left, std::min(coveredLeft, span.right), solid);
        canvas.Fill(y, std::max(0, coveredLeft), std::min(coveredRight, shadowWidth), 0);
        canvas.Fill(y, std::max(coveredRight, span.left), span.right, solid);
    }
    return bitmap;
}

}  // namespace brisklo::ui
