// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/image_encode.h"

#include <algorithm>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "core/file_utils.h"
#include "image/colour_profile.h"
#include "image/gif_animation_writer.h"
#include "image/gif_frame_reader.h"
#include "image/gif_frames.h"
#include "image/image_decode.h"
#include "image/image_geometry.h"
#include "image/image_presets.h"
#include "image/jpeg_codec.h"
#include "image/magick_errors.h"
#include "image/magick_pixels.h"
#include "image/magick_runtime.h"
#include "image/palette_quantize.h"
#include "image/palette_writers.h"
#include "image/pixel_resize.h"
#include "image/size_fit.h"

namespace brisklo {
namespace {

const Error kStopped{"stopped before it finished"};

std::string SizeText(std::int64_t width, std::int64_t height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

// What the job's options ask for, read in one place.
PixelSize BoxFor(const ImageJobSettings& settings, std::int64_t width, std::int64_t height) {
    const ImageOptions& options = settings.options;
    const PixelSize custom = options.customSize.value_or(PixelSize{});
    return TargetBox(width, height, options.scaleStep, options.customSize ? 1 : 0, custom.width,
                     custom.height);
}
int QualityFor(const ImageJobSettings& settings) {
    return static_cast<int>(JpegQuality(settings.options.level));
}
std::size_t ColoursFor(const ImageJobSettings& settings) {
    return PaletteColours(settings.options.level);
}
// The frames dropping keeps, by FrameKept's rule; none when nothing is dropped.
std::optional<std::int32_t> DropIndexFor(const ImageJobSettings& settings) {
    return settings.options.gifDropIndex;
}
// The preset's fuzz in 8-bit RGB distance (the presets give it on a 16-bit scale).
double FuzzFor(const ImageJobSettings& settings) {
    return GifColourFuzz(settings.options.level) * 255.0 / 65535.0;
}

// A custom size that would enlarge the image past the pixel limits fails with a
// clear reason instead of deep inside the library.
Result<bool> CheckFitsLimits(const PixelSize& box, const PixelSize& fitted) {
    const ImageLibraryLimits limits = EffectiveImageLibraryLimits();
    const auto w = static_cast<std::uint64_t>(fitted.width);
    const auto h = static_cast<std::uint64_t>(fitted.height);
    if (w > limits.width || h > limits.height || w * h > limits.area) {
        return Error{"the size " + SizeText(box.width, box.height) + " would make the image " +
                     SizeText(fitted.width, fitted.height) + " pixels, more than can be processed"};
    }
    return true;
}

Result<Magick::Image> DecodeFirst(std::span<const std::uint8_t> bytes, ImageFormat format) {
    auto frames = DecodeImage(bytes, format, FrameSelection::First);
    if (!frames) return frames.error();
    return std::move(frames.value().front());
}

Magick::Blob ToBlob(const std::vector<std::uint8_t>& bytes) {
    return Magick::Blob(bytes.data(), bytes.size());
}

// Lanczos for shrinking photos; Mitchell for `smooth` pictures (with transparency
// or a colour table) and for enlarging.
ResizeFilter FilterFor(bool smooth, const PixelSize& from, const PixelSize& to) {
    const bool enlarging = to.width * to.height > from.width * from.height;
    return smooth || enlarging ? ResizeFilter::Mitchell : ResizeFilter::Lanczos;
}

// Fits 8-bit pixels into the box. A custom size that would enlarge the picture past
// the pixel limits fails with a clear reason. Returns whether the size changed.
Result<bool> ResizePixels(PixelBuffer& picture, const PixelSize& box, bool smooth) {
    const PixelSize from{static_cast<std::int64_t>(picture.width),
                         static_cast<std::int64_t>(picture.height)};
    const PixelSize fitted = FitInside(from.width, from.height, box);
    if (box == from || fitted == from) return false;
    if (auto fits = CheckFitsLimits(box, fitted); !fits) return fits.error();
    auto resized = ResizeChannels(picture.pixels, from, picture.channels, fitted,
                                  FilterFor(smooth, from, fitted));
    if (!resized) return resized.error();
    picture.pixels = std::move(resized).value();
    picture.width = static_cast<std::size_t>(fitted.width);
    picture.height = static_cast<std::size_t>(fitted.height);
    return true;
}

Result<bool> ResizeToBox(RgbaPicture& picture, const ImageJobSettings& settings, bool smooth) {
    PixelBuffer pixels{picture.width, picture.height, 4, std::move(picture.pixels)};
    const PixelSize box = BoxFor(settings, static_cast<std::int64_t>(pixels.width),
                                 static_cast<std::int64_t>(pixels.height));
    auto resized = ResizePixels(pixels, box, smooth);
    picture = RgbaPicture{pixels.width, pixels.height, std::move(pixels.pixels)};
    return resized;
}

struct UprightPicture {
    RgbaPicture pixels;
    bool smooth = false;  // it has transparency or a colour table (see FilterFor)
};

// The first picture of the source, upright and in sRGB, as 8-bit RGBA. The image
// library's own copy, at 8 bytes a pixel, is gone when this returns; all resizing
// and colour work happens on the 4-byte pixels.
Result<UprightPicture> DecodeUpright(const SourceImage& source) {
    auto decoded = DecodeFirst(source.bytes, source.format);
    if (!decoded) return decoded.error();
    Magick::Image& image = decoded.value();
    image.autoOrient();
    if (image.colorSpace() != Magick::sRGBColorspace &&
        image.colorSpace() != Magick::RGBColorspace) {
        image.colorSpace(Magick::sRGBColorspace);
    }
    const bool smooth = image.matte() || image.classType() == Magick::PseudoClass;
    const Magick::Blob icc = image.iccColorProfile();
    RgbaPicture pixels = ExportRgba(image);
    // Colours described by a profile other than sRGB are turned into sRGB, as the
    // profile is not written; one that cannot be read leaves the pixels as they are.
    if (icc.length() > 0) {
        const std::span<const std::uint8_t> profile(static_cast<const std::uint8_t*>(icc.data()),
                                                    icc.length());
        if (auto conversion = SrgbConversion::For(profile, 4); conversion && conversion.value()) {
            for (std::size_t y = 0; y < pixels.height; ++y) {
                conversion.value()->Row(pixels.pixels.data() + y * pixels.width * 4, pixels.width);
            }
        }
    }
    return UprightPicture{std::move(pixels), smooth};
}

// Flattens onto white, as a JPEG holds no transparency.
PixelBuffer OnWhite(const RgbaPicture& picture) {
    PixelBuffer rgb{picture.width, picture.height, 3, {}};
    const std::size_t count = picture.width * picture.height;
    rgb.pixels.resize(count * 3);
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned a = picture.pixels[i * 4 + 3];
        for (std::size_t c = 0; c < 3; ++c) {
            rgb.pixels[i * 3 + c] = static_cast<std::uint8_t>(
                (picture.pixels[i * 4 + c] * a + 255u * (255u - a) + 127) / 255);
        }
    }
    return rgb;
}

// JPEG sources go through libjpeg-turbo alone (see RecodeJpeg); other sources
// converted to JPEG, and CMYK JPEGs, are decoded and turned by the image library,
// then resized and encoded by libjpeg-turbo the same way.
Result<Magick::Blob> EncodeJpeg(const SourceImage& source, const ImageJobSettings& settings) {
    const int quality = QualityFor(settings);
    const std::optional<std::int64_t> limit = settings.options.targetBytes;
    if (source.format == ImageFormat::Jpeg) {
        JpegRecode request;
        request.quality = quality;
        request.targetBox = [&settings](std::int64_t width, std::int64_t height) {
            return BoxFor(settings, width, height);
        };
        request.resize = [](PixelBuffer& picture, const PixelSize& box) {
            return ResizePixels(picture, box, false);
        };
        request.keepExif = settings.options.photo.keepExif;
        request.keepLocation = settings.options.photo.keepLocation;
        auto recoded = RecodeJpeg(source.bytes, request);
        if (!recoded) return recoded.error();
        if (recoded.value()) {
            // Each lower quality recodes the source again, in memory.
            auto fitted = EncodeToFit(
                quality, kLowestJpegQuality, limit,
                [&](int at) -> Result<std::vector<std::uint8_t>> {
                    if (at == quality) return std::move(*recoded.value());
                    request.quality = at;
                    auto again = RecodeJpeg(source.bytes, request);
                    if (!again) return again.error();
                    return std::move(again.value()).value_or(std::vector<std::uint8_t>{});
                },
                "JPEG quality");
            if (!fitted) return fitted.error();
            return ToBlob(fitted.value());
        }
    }

    auto decoded = DecodeUpright(source);
    if (!decoded) return decoded.error();
    PixelBuffer picture = OnWhite(decoded.value().pixels);
    const bool smooth = decoded.value().smooth;
    decoded = UprightPicture{};  // only the flattened copy is needed from here
    const PixelSize box = BoxFor(settings, static_cast<std::int64_t>(picture.width),
                                 static_cast<std::int64_t>(picture.height));
    if (auto resized = ResizePixels(picture, box, smooth); !resized) return resized.error();
    auto jpeg = EncodeToFit(
        quality, kLowestJpegQuality, limit,
        [&picture](int at) { return EncodeJpegPixels(picture, at); }, "JPEG quality");
    if (!jpeg) return jpeg.error();
    return ToBlob(jpeg.value());
}

Result<Magick::Blob> EncodePng(const SourceImage& source, const ImageJobSettings& settings) {
    auto decoded = DecodeUpright(source);
    if (!decoded) return decoded.error();
    RgbaPicture& pixels = decoded.value().pixels;
    if (auto resized = ResizeToBox(pixels, settings, decoded.value().smooth); !resized) {
        return resized.error();
    }
    auto png = EncodeToFit(
        static_cast<int>(ColoursFor(settings)), kLowestColours, settings.options.targetBytes,
        [&pixels](int colours) -> Result<std::vector<std::uint8_t>> {
            auto reduced = ReduceColours(pixels, static_cast<std::size_t>(colours));
            if (!reduced) return reduced.error();
            return WritePalettePng(reduced.value());
        },
        "number of colours");
    if (!png) return png.error();
    return ToBlob(png.value());
}

std::size_t CountColours(const PalettePicture& picture) {
    std::vector<bool> used(picture.palette.size());
    for (const std::uint8_t index : picture.indices) {
        if (index < used.size()) used[index] = true;
    }
    return static_cast<std::size_t>(std::count(used.begin(), used.end(), true));
}

// Two reductions, as the BMP level has always done: to 256 colours at the source's
// size, then, after resizing, to the preset's colours. Both stay in memory.
Result<Magick::Blob> EncodeBmp(const SourceImage& source, const ImageJobSettings& settings,
                               const std::stop_token& stop) {
    // The decoded pixels go as soon as the first reduction has them.
    auto first = [&source]() -> Result<PalettePicture> {
        auto decoded = DecodeUpright(source);
        if (!decoded) return decoded.error();
        return ReduceColours(decoded.value().pixels, 256);
    }();
    if (!first) return first.error();
    if (stop.stop_requested()) return kStopped;

    const std::size_t colours = ColoursFor(settings);
    RgbaPicture reduced = ExpandPalette(first.value());
    // Reduced to a colour table, it resizes as one.
    auto resized = ResizeToBox(reduced, settings, true);
    if (!resized) return resized.error();
    auto bmp = EncodeToFit(
        static_cast<int>(colours), kLowestColours, settings.options.targetBytes,
        [&](int at) -> Result<std::vector<std::uint8_t>> {
            const auto wanted = static_cast<std::size_t>(at);
            if (!resized.value() && CountColours(first.value()) <= wanted) {
                // Already within these colours at its final size: a second
                // reduction would change nothing.
                return WritePaletteBmp(first.value());
            }
            auto again = ReduceColours(reduced, wanted);
            if (!again) return again.error();
            return WritePaletteBmp(again.value());
        },
        "number of colours");
    if (!bmp) return bmp.error();
    return ToBlob(bmp.value());
}

// The frame's pixels fitted into the box, with alpha made all or nothing again
// (resizing blends the edges of transparent areas, which a GIF cannot hold).
Result<RgbaPicture> ResizeFrame(const RgbaPicture& frame, const PixelSize& box) {
    const PixelSize from{static_cast<std::int64_t>(frame.width),
                         static_cast<std::int64_t>(frame.height)};
    const PixelSize to = FitInside(from.width, from.height, box);
    auto scaled = ResizeChannels(frame.pixels, from, 4, to, ResizeFilter::Mitchell);
    if (!scaled) return scaled.error();
    RgbaPicture resized{static_cast<std::size_t>(to.width), static_cast<std::size_t>(to.height),
                        std::move(scaled).value()};
    for (std::size_t i = 3; i < resized.pixels.size(); i += 4) {
        resized.pixels[i] = resized.pixels[i] >= 128 ? 255 : 0;
    }
    return resized;
}

// Frame by frame: each frame is read, composed, kept or dropped, resized and
// written before the next is read, so even a long screen recording needs only a
// few frames' worth of memory.
Result<Magick::Blob> EncodeGif(const SourceImage& source, const ImageJobSettings& settings,
                               const std::stop_token& stop) {
    auto opened = GifFrameReader::Open(source.bytes);
    if (!opened) return opened.error();
    GifFrameReader& reader = *opened.value();
    const auto width = static_cast<std::int64_t>(reader.width());
    const auto height = static_cast<std::int64_t>(reader.height());
    const PixelSize box = BoxFor(settings, width, height);
    const bool resizing = box != PixelSize{width, height};
    if (resizing) {
        if (auto fits = CheckFitsLimits(box, FitInside(width, height, box)); !fits) {
            return fits.error();
        }
    }
    const std::optional<std::int32_t> dropIndex = DropIndexFor(settings);
    const double fuzz = FuzzFor(settings);

    const std::uint64_t frameLimit = EffectiveImageLibraryLimits().listLength;
    std::optional<GifAnimationWriter> writer;
    std::size_t frames = 0;
    std::size_t leadingDelay = 0;  // dropped frames before the first kept one
    for (;;) {
        if (stop.stop_requested()) return kStopped;
        auto next = reader.Next();
        if (!next) return next.error();
        if (!next.value()) break;
        const ComposedFrame frame = *next.value();
        const std::size_t index = frames++;
        // The header check counted the frames already; this holds whatever it missed.
        if (frames > frameLimit) {
            return Error{"the animation has more than " + std::to_string(frameLimit) +
                         " frames, more than can be processed"};
        }
        if (dropIndex && !FrameKept(index, *dropIndex)) {
            if (writer) {
                writer->AddDelay(frame.delay);
            } else {
                leadingDelay += frame.delay;
            }
            continue;
        }
        RgbaPicture resized;
        if (resizing) {
            auto fitted = ResizeFrame(*frame.picture, box);
            if (!fitted) return fitted.error();
            resized = std::move(fitted).value();
        }
        const RgbaPicture& picture = resizing ? resized : *frame.picture;
        if (!writer) {
            writer.emplace(picture.width, picture.height, fuzz, reader.loopCount());
            // Resizing blends colours the source's table does not hold.
            if (!resizing) writer->SharePalette(reader.globalColours());
            writer->AddDelay(leadingDelay);
        }
        if (auto added = writer->Add(picture, frame.delay); !added) return added.error();
    }
    if (!writer) {
        return Error{"dropping frames would leave none of its " + std::to_string(frames) +
                     " frame(s)"};
    }
    auto gif = writer->Finish();
    if (!gif) return gif.error();
    // An animation has no single setting to lower; it fails rather than exceed.
    if (const auto limit = settings.options.targetBytes;
        limit && static_cast<std::int64_t>(gif.value().size()) > *limit) {
        return Error{"it cannot be made to fit into " + FormatFileSize(*limit) +
                     ": the animation is " +
                     FormatFileSize(static_cast<std::int64_t>(gif.value().size())) +
                     " (dropping frames or a smaller size makes it smaller)"};
    }
    return ToBlob(gif.value());
}

}  // namespace

bool ChangesImageSize(const SourceImage& source, const ImageJobSettings& settings) {
    const auto declared = DeclaredImageSize(source.bytes, source.format);
    if (!declared) return settings.options.scaleStep > 0 || settings.options.customSize;
    const PixelSize box = BoxFor(settings, declared->width, declared->height);
    return FitInside(declared->width, declared->height, box) != *declared;
}

Result<Magick::Blob> EncodeImage(ImageBranch branch, const SourceImage& source,
                                 const ImageJobSettings& settings, const std::stop_token& stop) {
    try {
        switch (branch) {
            case ImageBranch::Jpeg:
                return EncodeJpeg(source, settings);
            case ImageBranch::Png:
                return EncodePng(source, settings);
            case ImageBranch::Bmp:
                return EncodeBmp(source, settings, stop);
            case ImageBranch::Gif:
                return EncodeGif(source, settings, stop);
        }
        return Error{"its format is not one that is compressed"};
    } catch (const Magick::ErrorResourceLimit& error) {
        return Error{"the image library failed: " + ResourceLimitReason(DescribeException(error))};
    } catch (const Magick::Exception& error) {
        return Error{"the image library failed: " + DescribeException(error)};
    } catch (const std::bad_alloc&) {
        return Error{"not enough memory to process it"};
    } catch (const std::exception& error) {
        return Error{DescribeException(error)};
    }
}

}  // namespace brisklo
