// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/image_geometry.h"

#include <algorithm>
#include <cmath>

namespace brisklo {

PixelSize TargetBox(std::int64_t width, std::int64_t height, std::int32_t ratioIndex,
                    std::int32_t defineSize, std::int32_t customWidth, std::int32_t customHeight) {
    if (defineSize != 0 && customWidth > 0 && customHeight > 0) {
        return {customWidth, customHeight};
    }
    if (ratioIndex >= 1 && ratioIndex <= 5) {
        const std::int64_t shrunk = width - ratioIndex * width / 10;
        return {shrunk, 16 * shrunk / 9};
    }
    return {width, height};
}

PixelSize FitInside(std::int64_t width, std::int64_t height, const PixelSize& box) {
    if (width <= 0 || height <= 0) return {0, 0};
    const double scale = std::min(static_cast<double>(box.width) / static_cast<double>(width),
                                  static_cast<double>(box.height) / static_cast<double>(height));
    const auto scaled = [scale](std::int64_t v) {
        return std::max<std::int64_t>(1, std::llround(scale * static_cast<double>(v)));
    };
    return {scaled(width), scaled(height)};
}

}  // namespace brisklo
