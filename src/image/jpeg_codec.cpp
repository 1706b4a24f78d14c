// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/jpeg_codec.h"

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "image/colour_profile.h"
#include "image/exif_edit.h"
#include "image/exif_orientation.h"

namespace brisklo {
namespace {

// libjpeg reports errors by calling error_exit, which here jumps back to the
// setjmp of the running step; warnings are kept, since every one of them means
// damaged data.
struct ErrorManager {
    jpeg_error_mgr base{};
    std::jmp_buf jump{};
    std::string message;  // the error, or the first warning
    bool warned = false;
};

void Describe(j_common_ptr info, ErrorManager& manager) {
    char text[JMSG_LENGTH_MAX] = {};  // libjpeg formats into a buffer of this size
    (*info->err->format_message)(info, text);
    manager.message = text;
}

[[noreturn]] void OnError(j_common_ptr info) {
    auto& manager = *reinterpret_cast<ErrorManager*>(info->err);
    Describe(info, manager);
    std::longjmp(manager.jump, 1);
}

void OnMessage(j_common_ptr info, int level) {
    auto& manager = *reinterpret_cast<ErrorManager*>(info->err);
    if (level < 0 && !manager.warned) {
        Describe(info, manager);
        manager.warned = true;
    }
}

void Install(ErrorManager& manager) {
    jpeg_std_error(&manager.base);
    manager.base.error_exit = OnError;
    manager.base.emit_message = OnMessage;
}

// A JPEG's colour detail is kept as finely as its source kept it: the source's
// chroma sampling is reused for a colour source re-encoded at its own colours.
struct Sampling {
    int factors[3][2] = {};  // horizontal, vertical per component
    bool known = false;
};

Sampling SourceSampling(const jpeg_decompress_struct& decoder) {
    Sampling sampling;
    if (decoder.num_components != 3 || decoder.jpeg_color_space != JCS_YCbCr) return sampling;
    for (int i = 0; i < 3; ++i) {
        sampling.factors[i][0] = decoder.comp_info[i].h_samp_factor;
        sampling.factors[i][1] = decoder.comp_info[i].v_samp_factor;
    }
    sampling.known = true;
    return sampling;
}

// Everything a recode holds, outside the functions that setjmp, so a jump back
// never skips a destructor.
struct Codec {
    ErrorManager decodeErrors;
    ErrorManager encodeErrors;
    jpeg_decompress_struct decoder{};
    jpeg_compress_struct encoder{};
    bool decoderMade = false;
    bool encoderMade = false;
    unsigned char* output = nullptr;  // libjpeg's own buffer
    unsigned long outputSize = 0;
    std::vector<std::uint8_t> rows;
    PixelBuffer picture;
    int orientation = 1;
    Sampling sampling;               // the source's, read with its header (libjpeg frees it later)
    std::vector<std::uint8_t> icc;   // the source's colour profile, if any
    std::vector<std::uint8_t> exif;  // the source's EXIF block, if any
    std::optional<SrgbConversion> toSrgb;
    std::optional<std::vector<std::uint8_t>> keptExif;  // written into the output

    Codec() {
        Install(decodeErrors);
        Install(encodeErrors);
    }
    ~Codec() {
        if (decoderMade) jpeg_destroy_decompress(&decoder);
        if (encoderMade) jpeg_destroy_compress(&encoder);
        std::free(output);
    }
    Codec(const Codec&) = delete;
    Codec& operator=(const Codec&) = delete;

    std::vector<std::uint8_t> TakeOutput() const {
        return std::vector<std::uint8_t>(output, output + outputSize);
    }
};

bool ReadHeader(Codec& c, std::span<const std::uint8_t> source) {
    c.decoder.err = &c.decodeErrors.base;
    if (setjmp(c.decodeErrors.jump)) return false;
    jpeg_create_decompress(&c.decoder);
    c.decoderMade = true;
    jpeg_mem_src(&c.decoder, source.data(), static_cast<unsigned long>(source.size()));
    jpeg_save_markers(&c.decoder, JPEG_APP0 + 1, 0xFFFF);
    jpeg_save_markers(&c.decoder, JPEG_APP0 + 2, 0xFFFF);
    jpeg_read_header(&c.decoder, TRUE);
    c.sampling = SourceSampling(c.decoder);
    for (jpeg_saved_marker_ptr m = c.decoder.marker_list; m; m = m->next) {
        if (m->marker == JPEG_APP0 + 1) {
            const int found = ExifOrientation({m->data, m->data_length});
            if (found != 1) c.orientation = found;
            const bool isExif = m->data_length >= 6 && std::memcmp(m->data, "Exif\0\0", 6) == 0;
            if (c.exif.empty() && isExif) c.exif.assign(m->data, m->data + m->data_length);
        }
    }
    JOCTET* icc = nullptr;
    unsigned int iccLength = 0;
    if (jpeg_read_icc_profile(&c.decoder, &icc, &iccLength)) {
        c.icc.assign(icc, icc + iccLength);
        std::free(icc);
    }
    return true;
}

void StartEncoder(Codec& c, std::size_t width, std::size_t height, int channels, int quality,
                  const Sampling& sampling = {}) {
    c.encoder.err = &c.encodeErrors.base;
    jpeg_create_compress(&c.encoder);
    c.encoderMade = true;
    jpeg_mem_dest(&c.encoder, &c.output, &c.outputSize);
    c.encoder.image_width = static_cast<JDIMENSION>(width);
    c.encoder.image_height = static_cast<JDIMENSION>(height);
    c.encoder.input_components = channels;
    c.encoder.in_color_space = channels == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&c.encoder);
    jpeg_set_quality(&c.encoder, quality, TRUE);
    c.encoder.optimize_coding = TRUE;
    c.encoder.dct_method = JDCT_FLOAT;
    if (sampling.known && channels == 3 && c.encoder.num_components == 3) {
        for (int i = 0; i < 3; ++i) {
            c.encoder.comp_info[i].h_samp_factor = sampling.factors[i][0];
            c.encoder.comp_info[i].v_samp_factor = sampling.factors[i][1];
        }
    }
    // EXIF readers look for the block first, where a JFIF header would be.
    c.encoder.write_JFIF_header = c.keptExif ? FALSE : TRUE;
    jpeg_start_compress(&c.encoder, TRUE);
    if (c.keptExif) {
        jpeg_write_marker(&c.encoder, JPEG_APP0 + 1, c.keptExif->data(),
                          static_cast<unsigned int>(c.keptExif->size()));
    }
}

// Rows straight from the decoder into the encoder.
bool Stream(Codec& c, int quality) {
    if (setjmp(c.decodeErrors.jump)) return false;
    if (setjmp(c.encodeErrors.jump)) return false;
    jpeg_start_decompress(&c.decoder);
    const JDIMENSION width = c.decoder.output_width;
    const int channels = c.decoder.output_components;
    StartEncoder(c, width, c.decoder.output_height, channels, quality, c.sampling);
    JSAMPROW row = c.rows.data();
    while (c.decoder.output_scanline < c.decoder.output_height) {
        if (jpeg_read_scanlines(&c.decoder, &row, 1) != 1) break;
        if (c.toSrgb) c.toSrgb->Row(row, width);
        jpeg_write_scanlines(&c.encoder, &row, 1);
    }
    jpeg_finish_compress(&c.encoder);
    jpeg_finish_decompress(&c.decoder);
    return true;
}

// The whole picture into c.picture, turned upright.
bool DecodeUpright(Codec& c) {
    if (setjmp(c.decodeErrors.jump)) return false;
    jpeg_start_decompress(&c.decoder);
    const JDIMENSION width = c.decoder.output_width;
    const JDIMENSION height = c.decoder.output_height;
    const auto channels = static_cast<std::size_t>(c.decoder.output_components);
    const bool swapped = c.orientation >= 5;
    const std::size_t outWidth = swapped ? height : width;
    JSAMPROW row = c.rows.data();
    while (c.decoder.output_scanline < height) {
        const JDIMENSION y = c.decoder.output_scanline;
        if (jpeg_read_scanlines(&c.decoder, &row, 1) != 1) break;
        if (c.toSrgb) c.toSrgb->Row(row, width);
        for (JDIMENSION x = 0; x < width; ++x) {
            const PixelSpot spot = UprightSpot(c.orientation, x, y, width, height);
            std::copy_n(row + x * channels, channels,
                        c.picture.pixels.data() + (spot.y * outWidth + spot.x) * channels);
        }
    }
    jpeg_finish_decompress(&c.decoder);
    return true;
}

bool Encode(Codec& c, const PixelBuffer& picture, int quality, const Sampling& sampling) {
    if (setjmp(c.encodeErrors.jump)) return false;
    StartEncoder(c, picture.width, picture.height, picture.channels, quality, sampling);
    const std::size_t stride = picture.width * static_cast<std::size_t>(picture.channels);
    while (c.encoder.next_scanline < c.encoder.image_height) {
        // libjpeg only reads the rows it is given.
        auto* row = const_cast<JSAMPLE*>(picture.pixels.data() + c.encoder.next_scanline * stride);
        jpeg_write_scanlines(&c.encoder, &row, 1);
    }
    jpeg_finish_compress(&c.encoder);
    return true;
}

Error DecodeFailure(const Codec& c) {
    return Error{"cannot decode the image: " + c.decodeErrors.message};
}
Error Damaged(const Codec& c) { return Error{"the image is damaged: " + c.decodeErrors.message}; }
Error EncodeFailure(const Codec& c) {
    return Error{"the JPEG encoder failed: " + c.encodeErrors.message};
}

// The DCT scaling M/8 (M from 1 to 8) that shrinks the most while staying at least
// as large as the box.
unsigned ScaleFor(std::int64_t width, std::int64_t height, const PixelSize& fitted) {
    for (unsigned m = 1; m < 8; ++m) {
        const std::int64_t w = (width * m + 7) / 8;
        const std::int64_t h = (height * m + 7) / 8;
        if (w >= fitted.width && h >= fitted.height) return m;
    }
    return 8;
}

}  // namespace

Result<std::vector<std::uint8_t>> EncodeJpegPixels(const PixelBuffer& picture, int quality) {
    if (picture.width == 0 || picture.height == 0 || picture.width > JPEG_MAX_DIMENSION ||
        picture.height > JPEG_MAX_DIMENSION || (picture.channels != 1 && picture.channels != 3) ||
        picture.pixels.size() !=
            picture.width * picture.height * static_cast<std::size_t>(picture.channels)) {
        return Error{"cannot write the JPEG: the picture has no usable size"};
    }
    Codec c;
    if (!Encode(c, picture, quality, Sampling{})) return EncodeFailure(c);
    return c.TakeOutput();
}

Result<std::optional<std::vector<std::uint8_t>>> RecodeJpeg(std::span<const std::uint8_t> source,
                                                            const JpegRecode& request) {
    Codec c;
    if (!ReadHeader(c, source)) return DecodeFailure(c);
    if (c.decodeErrors.warned) return Damaged(c);
    const J_COLOR_SPACE space = c.decoder.jpeg_color_space;
    if (space == JCS_CMYK || space == JCS_YCCK) return std::optional<std::vector<std::uint8_t>>{};
    c.decoder.out_color_space = space == JCS_GRAYSCALE ? JCS_GRAYSCALE : JCS_RGB;
    if (c.decoder.out_color_space == JCS_RGB) {
        // A profile that cannot be read leaves the pixels as they are, which is what
        // a viewer that ignores profiles shows.
        if (auto conversion = SrgbConversion::For(c.icc, 3); conversion) {
            c.toSrgb = std::move(conversion).value();
        }
    }
    if (request.keepExif && !c.exif.empty()) {
        c.keptExif = UprightExif(c.exif, request.keepLocation);
    }

    const bool swapped = c.orientation >= 5;
    const std::int64_t width = swapped ? c.decoder.image_height : c.decoder.image_width;
    const std::int64_t height = swapped ? c.decoder.image_width : c.decoder.image_height;
    const PixelSize box = request.targetBox(width, height);
    const bool resizing = box != PixelSize{width, height};
    if (resizing) {
        c.decoder.scale_num = ScaleFor(width, height, FitInside(width, height, box));
        c.decoder.scale_denom = 8;
    }
    c.decoder.dct_method = JDCT_FLOAT;
    jpeg_calc_output_dimensions(&c.decoder);
    const std::size_t channels = static_cast<std::size_t>(c.decoder.out_color_components);
    c.rows.resize(std::size_t{c.decoder.output_width} * channels);

    if (!resizing && c.orientation == 1) {
        if (!Stream(c, request.quality)) {
            return c.decodeErrors.message.empty() ? EncodeFailure(c) : DecodeFailure(c);
        }
        if (c.decodeErrors.warned) return Damaged(c);
        return std::optional{c.TakeOutput()};
    }

    PixelBuffer& picture = c.picture;
    picture.width = swapped ? c.decoder.output_height : c.decoder.output_width;
    picture.height = swapped ? c.decoder.output_width : c.decoder.output_height;
    picture.channels = static_cast<int>(channels);
    picture.pixels.resize(picture.width * picture.height * channels);
    if (!DecodeUpright(c)) return DecodeFailure(c);
    if (c.decodeErrors.warned) return Damaged(c);
    if (resizing) {
        if (auto resized = request.resize(picture, box); !resized) return resized.error();
    }
    if (!Encode(c, picture, request.quality, c.sampling)) return EncodeFailure(c);
    return std::optional{c.TakeOutput()};
}

}  // namespace brisklo
