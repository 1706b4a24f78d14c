#include "image/image_encode.h"

#include <algorithm>
#include <new>
#include <optional>
#include <string>
#include <vector>

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

namespace brisklo {
namespace {

const Error kStopped{"stopped before it finished"};

std::string SizeText(std::int64_t width, std::int64_t height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

// What the job's options ask for, read in one place.
ImageBox BoxFor(const ImageJobSettings& settings, std::int64_t width, std::int64_t height) {
    const ImageOptions& options = settings.options;
    const FrameSize custom = options.customSize.value_or(FrameSize{});
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
Result<bool> CheckFitsLimits(const ImageBox& box, const ImageBox& fitted) {
    const ImageLibraryLimits limits = EffectiveImageLibraryLimits();
    const auto w = static_cast<std::uint64_t>(fitted.width);
    const auto h = static_cast<std::uint64_t>(fitted.height);
    if (w > limits.width || h > limits.height || w * h > limits.area) {
        return Error{"the size " + SizeText(box.width, box.height) + " would make the image " +
                     SizeText(fitted.width, fitted.height) + " pixels, more than can be processed"};
    }
    return true;
}

// Fits the image into its target box. A custom size that would enlarge the image
// past the pixel limits fails here with a clear reason instead of deep inside the
// library. Returns whether the size changed.
Result<bool> ResizeToBox(Magick::Image& image, const ImageJobSettings& settings) {
    const auto width = static_cast<std::int64_t>(image.columns());
    const auto height = static_cast<std::int64_t>(image.rows());
    const ImageBox box = BoxFor(settings, width, height);
    if (box == ImageBox{width, height}) return false;
    if (auto fits = CheckFitsLimits(box, FitInside(width, height, box)); !fits) {
        return fits.error();
    }
    image.resize(Magick::Geometry(static_cast<std::size_t>(box.width),
                                  static_cast<std::size_t>(box.height)));
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

// Fits 8-bit pixels into the box with the library's resizing.
Result<bool> ResizePixels(PixelBuffer& picture, const ImageBox& box) {
    const auto width = static_cast<std::int64_t>(picture.width);
    const auto height = static_cast<std::int64_t>(picture.height);
    if (auto fits = CheckFitsLimits(box, FitInside(width, height, box)); !fits) {
        return fits.error();
    }
    const char* map = picture.channels == 1 ? "I" : "RGB";
    Magick::Image image(picture.width, picture.height, map, Magick::CharPixel,
                        picture.pixels.data());
    image.quiet(true);
    image.resize(Magick::Geometry(static_cast<std::size_t>(box.width),
                                  static_cast<std::size_t>(box.height)));
    picture.width = image.columns();
    picture.height = image.rows();
    picture.pixels.assign(picture.width * picture.height * static_cast<std::size_t>(picture.channels), 0);
    image.write(0, 0, picture.width, picture.height, map, Magick::CharPixel,
                picture.pixels.data());
    return true;
}

// JPEG sources go through libjpeg-turbo alone (see RecodeJpeg); other sources
// converted to JPEG, and CMYK JPEGs, are decoded, turned and resized by the image
// library and encoded by libjpeg-turbo the same way.
Result<Magick::Blob> EncodeJpeg(const SourceImage& source, const ImageJobSettings& settings) {
    const int quality = QualityFor(settings);
    if (source.format == ImageFormat::Jpeg) {
        JpegRecode request;
        request.quality = quality;
        request.targetBox = [&settings](std::int64_t width, std::int64_t height) {
            return BoxFor(settings, width, height);
        };
        request.resize = ResizePixels;
        auto recoded = RecodeJpeg(source.bytes, request);
        if (!recoded) return recoded.error();
        if (recoded.value()) return ToBlob(*recoded.value());
    }

    auto decoded = DecodeFirst(source.bytes, source.format);
    if (!decoded) return decoded.error();
    Magick::Image& image = decoded.value();
    image.autoOrient();
    image.strip();
    if (auto resized = ResizeToBox(image, settings); !resized) return resized.error();
    if (image.matte()) {
        image.backgroundColor(Magick::Color("white"));
        image.alphaChannel(Magick::RemoveAlphaChannel);
    }
    PixelBuffer picture;
    picture.width = image.columns();
    picture.height = image.rows();
    picture.channels = 3;
    picture.pixels.resize(picture.width * picture.height * 3);
    image.write(0, 0, picture.width, picture.height, "RGB", Magick::CharPixel,
                picture.pixels.data());
    auto jpeg = EncodeJpegPixels(picture, quality);
    if (!jpeg) return jpeg.error();
    return ToBlob(jpeg.value());
}

Result<Magick::Blob> EncodePng(const SourceImage& source, const ImageJobSettings& settings) {
    auto decoded = DecodeFirst(source.bytes, source.format);
    if (!decoded) return decoded.error();
    Magick::Image& image = decoded.value();
    image.autoOrient();
    image.strip();
    if (auto resized = ResizeToBox(image, settings); !resized) return resized.error();
    const RgbaPicture pixels = ExportRgba(image);
    auto reduced = ReduceColours(pixels, ColoursFor(settings));
    if (!reduced) return reduced.error();
    auto png = WritePalettePng(reduced.value());
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
    auto decoded = DecodeFirst(source.bytes, source.format);
    if (!decoded) return decoded.error();
    Magick::Image& image = decoded.value();
    image.autoOrient();
    image.strip();
    auto first = ReduceColours(ExportRgba(image), 256);
    if (!first) return first.error();
    if (stop.stop_requested()) return kStopped;

    const std::size_t colours = ColoursFor(settings);
    Magick::Image reduced = ImportRgba(ExpandPalette(first.value()));
    auto resized = ResizeToBox(reduced, settings);
    if (!resized) return resized.error();
    PalettePicture second;
    if (!resized.value() && CountColours(first.value()) <= colours) {
        // Already within the preset's colours at its final size: the second
        // reduction would change nothing.
        second = std::move(first).value();
    } else {
        auto again = ReduceColours(ExportRgba(reduced), colours);
        if (!again) return again.error();
        second = std::move(again).value();
    }
    auto bmp = WritePaletteBmp(second);
    if (!bmp) return bmp.error();
    return ToBlob(bmp.value());
}

// The frame's pixels fitted into the box, with alpha made all or nothing again
// (resizing blends the edges of transparent areas, which a GIF cannot hold).
RgbaPicture ResizeFrame(const RgbaPicture& frame, const ImageBox& box) {
    Magick::Image image = ImportRgba(frame);
    image.resize(Magick::Geometry(static_cast<std::size_t>(box.width),
                                  static_cast<std::size_t>(box.height)));
    RgbaPicture resized = ExportRgba(image);
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
    const ImageBox box = BoxFor(settings, width, height);
    const bool resizing = box != ImageBox{width, height};
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
        if (resizing) resized = ResizeFrame(*frame.picture, box);
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
    return ToBlob(gif.value());
}

}  // namespace

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
            case ImageBranch::Unsupported:
                break;
        }
        return Error{"its format is not one that is compressed"};
    } catch (const Magick::Exception& error) {
        return Error{"the image library failed: " + DescribeException(error)};
    } catch (const std::bad_alloc&) {
        return Error{"not enough memory to process it"};
    } catch (const std::exception& error) {
        return Error{DescribeException(error)};
    }
}

}  // namespace brisklo
