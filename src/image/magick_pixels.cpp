// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/magick_pixels.h"

namespace brisklo {

RgbaPicture ExportRgba(Magick::Image& image) {
    RgbaPicture picture;
    picture.width = image.columns();
    picture.height = image.rows();
    picture.pixels.resize(picture.width * picture.height * 4);
    image.write(0, 0, picture.width, picture.height, "RGBA", Magick::CharPixel,
                picture.pixels.data());
    return picture;
}

}  // namespace brisklo
