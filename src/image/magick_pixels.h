// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <Magick++.h>

#include "image/rgba_picture.h"

namespace brisklo {

// The image's pixels as 8-bit RGBA (opaque images get alpha 255).
RgbaPicture ExportRgba(Magick::Image& image);

}  // namespace brisklo
