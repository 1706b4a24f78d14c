// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/pixel_resize.h"

extern "C" {
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <climits>
#include <memory>
#include <string>

namespace brisklo {
namespace {

struct ScalerDeleter {
    void operator()(SwsContext* scaler) const { sws_freeContext(scaler); }
};
using Scaler = std::unique_ptr<SwsContext, ScalerDeleter>;

std::string SizeText(PixelSize size) {
    return std::to_string(size.width) + "x" + std::to_string(size.height);
}

bool FitsScaler(PixelSize size) {
    return size.width > 0 && size.height > 0 && size.width <= INT_MAX && size.height <= INT_MAX;
}

bool AllOpaque(std::span<const std::uint8_t> rgba) {
    for (std::size_t i = 3; i < rgba.size(); i += 4) {
        if (rgba[i] != 255) return false;
    }
    return true;
}

Result<Scaler> MakeScaler(PixelSize from, PixelSize to, AVPixelFormat format, ResizeFilter filter) {
    // Mitchell-Netravali is the bicubic filter with B = C = 1/3.
    const double mitchell[2] = {1.0 / 3.0, 1.0 / 3.0};
    const bool lanczos = filter == ResizeFilter::Lanczos;
    Scaler scaler(sws_getContext(static_cast<int>(from.width), static_cast<int>(from.height),
                                 format, static_cast<int>(to.width), static_cast<int>(to.height),
                                 format, (lanczos ? SWS_LANCZOS : SWS_BICUBIC) | SWS_ACCURATE_RND,
                                 nullptr, nullptr, lanczos ? nullptr : mitchell));
    if (!scaler) {
        return Error{"the scaler cannot resize " + SizeText(from) + " pixels to " + SizeText(to)};
    }
    return scaler;
}

// One plane of 8- or 16-bit samples through the scaler.
template <class Sample>
void ScalePlane(SwsContext* scaler, const std::vector<Sample>& in, PixelSize from,
                std::vector<Sample>& out, PixelSize to) {
    const auto* const source = reinterpret_cast<const std::uint8_t*>(in.data());
    auto* const target = reinterpret_cast<std::uint8_t*>(out.data());
    const std::uint8_t* const sources[4] = {source, nullptr, nullptr, nullptr};
    const int sourceStride[4] = {static_cast<int>(from.width * sizeof(Sample)), 0, 0, 0};
    std::uint8_t* const targets[4] = {target, nullptr, nullptr, nullptr};
    const int targetStride[4] = {static_cast<int>(to.width * sizeof(Sample)), 0, 0, 0};
    sws_scale(scaler, sources, sourceStride, 0, static_cast<int>(from.height), targets,
              targetStride);
}

// Channels scaled on their own, 8 bits each.
Result<std::vector<std::uint8_t>> ResizeIndependent(std::span<const std::uint8_t> pixels,
                                                    PixelSize from, std::size_t stride,
                                                    PixelSize to, ResizeFilter filter) {
    auto scaler = MakeScaler(from, to, AV_PIX_FMT_GRAY8, filter);
    if (!scaler) return scaler.error();
    const std::size_t inCount = from.width * from.height;
    const std::size_t outCount = to.width * to.height;
    std::vector<std::uint8_t> result(outCount * stride);
    std::vector<std::uint8_t> plane(inCount);
    std::vector<std::uint8_t> scaled(outCount);
    for (std::size_t c = 0; c < stride; ++c) {
        for (std::size_t i = 0; i < inCount; ++i) plane[i] = pixels[i * stride + c];
        ScalePlane(scaler.value().get(), plane, from, scaled, to);
        for (std::size_t i = 0; i < outCount; ++i) result[i * stride + c] = scaled[i];
    }
    return result;
}

// RGBA with colours weighted by alpha. The weighted colours (colour x alpha) and the
// alpha (x 257) are scaled as 16-bit planes, so dividing by the scaled alpha gives
// back flat colours exactly.
Result<std::vector<std::uint8_t>> ResizeWeighted(std::span<const std::uint8_t> pixels,
                                                 PixelSize from, PixelSize to,
                                                 ResizeFilter filter) {
    auto scaler = MakeScaler(from, to, AV_PIX_FMT_GRAY16, filter);
    if (!scaler) return scaler.error();
    const std::size_t inCount = from.width * from.height;
    const std::size_t outCount = to.width * to.height;
    std::vector<std::uint8_t> result(outCount * 4);
    std::vector<std::uint16_t> plane(inCount);
    std::vector<std::uint16_t> alpha(outCount);
    std::vector<std::uint16_t> scaled(outCount);

    for (std::size_t i = 0; i < inCount; ++i) {
        plane[i] = static_cast<std::uint16_t>(pixels[i * 4 + 3] * 257u);
    }
    ScalePlane(scaler.value().get(), plane, from, alpha, to);
    for (std::size_t i = 0; i < outCount; ++i) {
        result[i * 4 + 3] = static_cast<std::uint8_t>((alpha[i] + 128u) / 257u);
    }
    for (std::size_t c = 0; c < 3; ++c) {
        for (std::size_t i = 0; i < inCount; ++i) {
            plane[i] = static_cast<std::uint16_t>(pixels[i * 4 + c] * pixels[i * 4 + 3]);
        }
        ScalePlane(scaler.value().get(), plane, from, scaled, to);
        for (std::size_t i = 0; i < outCount; ++i) {
            const std::uint32_t a = alpha[i];
            const std::uint32_t value = a == 0 ? 0 : (scaled[i] * 257u + a / 2) / a;
            result[i * 4 + c] = static_cast<std::uint8_t>(std::min<std::uint32_t>(value, 255));
        }
    }
    return result;
}

}  // namespace

Result<std::vector<std::uint8_t>> ResizeChannels(std::span<const std::uint8_t> pixels,
                                                 PixelSize from, int channels, PixelSize to,
                                                 ResizeFilter filter) {
    const auto stride = static_cast<std::size_t>(channels);
    if (channels < 1 || channels > 4 || !FitsScaler(from) || !FitsScaler(to) ||
        pixels.size() != from.width * from.height * stride) {
        return Error{"cannot resize a picture of " + SizeText(from) + " pixels to " + SizeText(to)};
    }
    if (channels == 4 && !AllOpaque(pixels)) return ResizeWeighted(pixels, from, to, filter);
    return ResizeIndependent(pixels, from, stride, to, filter);
}

}  // namespace brisklo
