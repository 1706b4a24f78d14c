// SPDX-License-Identifier: GPL-3.0-or-later
// The checks made on a source before any decoder sees it: the format sniffer, the
// declared size and the GIF frame census, on any bytes.
#include <cstddef>
#include <cstdint>
#include <span>

#include "image/image_sniff.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const auto format = brisklo::SniffImageFormat(bytes);
    for (auto kind : {brisklo::ImageFormat::Jpeg, brisklo::ImageFormat::Png,
                      brisklo::ImageFormat::Bmp, brisklo::ImageFormat::Gif}) {
        (void)brisklo::DeclaredImageSize(bytes, kind);
    }
    (void)brisklo::CountGifFrames(bytes);
    if (format) (void)brisklo::MagickCoderName(*format);
    return 0;
}
