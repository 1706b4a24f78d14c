// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace brisklo {

// A width × height in pixels: of a picture, a video frame, or the box a picture is
// fitted into. Where a size is the user's choice, 0 on either side keeps the
// source's own size.
struct PixelSize {
    std::int64_t width = 0;
    std::int64_t height = 0;

    bool operator==(const PixelSize&) const = default;
    bool KeepsSource() const { return width == 0 || height == 0; }
    std::int64_t Area() const { return width * height; }
};

}  // namespace brisklo
