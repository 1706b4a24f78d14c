// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/palette_quantize.h"

#include <libimagequant.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <string>

#include "core/c_deleter.h"

namespace brisklo {
namespace {

Error QuantiseError(liq_error code) {
    if (code == LIQ_OUT_OF_MEMORY) return Error{"not enough memory to reduce its colours"};
    return Error{"cannot reduce its colours (libimagequant error " + std::to_string(code) + ")"};
}

}  // namespace

Result<PalettePicture> ReduceColours(const RgbaPicture& picture, std::size_t colours,
                                     QuantiseEffort effort) {
    if (picture.width == 0 || picture.height == 0 || picture.width > INT_MAX ||
        picture.height > INT_MAX || picture.pixels.size() != picture.width * picture.height * 4) {
        return Error{"cannot reduce its colours: the picture has no usable size"};
    }
    const CHandle<liq_attr, liq_attr_destroy> attr(liq_attr_create());
    if (!attr) return QuantiseError(LIQ_OUT_OF_MEMORY);
    const int count = static_cast<int>(std::clamp<std::size_t>(colours, 2, 256));
    if (const liq_error e = liq_set_max_colors(attr.get(), count); e != LIQ_OK) {
        return QuantiseError(e);
    }
    // Speed 4 is the library's default balance; 8 still gives a good palette and
    // is several times faster, which an animation of hundreds of frames needs.
    liq_set_speed(attr.get(), effort == QuantiseEffort::Quick ? 8 : 4);

    const CHandle<liq_image, liq_image_destroy> image(
        liq_image_create_rgba(attr.get(), picture.pixels.data(), static_cast<int>(picture.width),
                              static_cast<int>(picture.height), 0));
    if (!image) return QuantiseError(LIQ_OUT_OF_MEMORY);
    liq_result* raw = nullptr;
    if (const liq_error e = liq_image_quantize(image.get(), attr.get(), &raw); e != LIQ_OK) {
        return QuantiseError(e);
    }
    const CHandle<liq_result, liq_result_destroy> result(raw);
    liq_set_dithering_level(result.get(), 1.0f);

    PalettePicture reduced;
    reduced.width = picture.width;
    reduced.height = picture.height;
    reduced.indices.resize(picture.width * picture.height);
    if (const liq_error e = liq_write_remapped_image(
            result.get(), image.get(), reduced.indices.data(), reduced.indices.size());
        e != LIQ_OK) {
        return QuantiseError(e);
    }
    // The palette is read after remapping: remapping refines it.
    const liq_palette* palette = liq_get_palette(result.get());
    reduced.palette.reserve(palette->count);
    for (unsigned i = 0; i < palette->count; ++i) {
        const liq_color& c = palette->entries[i];
        reduced.palette.push_back({c.r, c.g, c.b, c.a});
    }
    return reduced;
}

RgbaPicture ExpandPalette(const PalettePicture& picture) {
    RgbaPicture expanded;
    expanded.width = picture.width;
    expanded.height = picture.height;
    expanded.pixels.resize(picture.indices.size() * 4);
    std::uint8_t* out = expanded.pixels.data();
    for (const std::uint8_t index : picture.indices) {
        const PaletteColour& colour =
            index < picture.palette.size() ? picture.palette[index] : PaletteColour{0, 0, 0, 0};
        std::copy(colour.begin(), colour.end(), out);
        out += 4;
    }
    return expanded;
}

}  // namespace brisklo
