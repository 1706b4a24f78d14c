// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <Magick++.h>

#include <cstdint>
#include <span>
#include <vector>

#include "core/result.h"
#include "image/image_sniff.h"

namespace brisklo {

enum class FrameSelection { First, All };

// Decodes bytes with the one decoder of format, never with one ImageMagick would
// guess from the content or a name, under the library's resource limits. Errors
// and signs of a damaged file (a corrupt-image warning such as a truncated JPEG)
// fail; other warnings are logged and the image is kept. With FrameSelection::First
// only the first frame is decoded. The frames come back separate and quiet (later
// warnings do not throw, errors still do).
Result<std::vector<Magick::Image>> DecodeImage(std::span<const std::uint8_t> bytes,
                                               ImageFormat format, FrameSelection frames);

}  // namespace brisklo
