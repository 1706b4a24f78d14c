#include "image/image_encode.h"

#include <new>
#include <string>
#include <vector>

#include "image/gif_frames.h"
#include "image/image_decode.h"
#include "image/image_geometry.h"
#include "image/image_presets.h"
#include "image/magick_errors.h"
#include "image/magick_runtime.h"
#include "image/output_files.h"

namespace brisklo {
namespace {

using Frames = std::vector<Magick::Image>;

const Error kStopped{"stopped before it finished"};

std::span<const std::uint8_t> BlobBytes(const Magick::Blob& blob) {
    return {static_cast<const std::uint8_t*>(blob.data()), blob.length()};
}

std::string SizeText(std::int64_t width, std::int64_t height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

bool ResizeRequested(const ImageOptions& options) {
    const bool custom =
        options.customSize && options.customSize->width > 0 && options.customSize->height > 0;
    return custom || (options.scaleStep >= 1 && options.scaleStep <= 5);
}

// Fits the image into its target box. A custom size that would enlarge the image
// past the pixel limits fails here with a clear reason instead of deep inside the
// library. Returns whether the size changed.
Result<bool> ResizeToBox(Magick::Image& image, const ImageJobSettings& settings) {
    const auto width = static_cast<std::int64_t>(image.columns());
    const auto height = static_cast<std::int64_t>(image.rows());
    const ImageOptions& options = settings.options;
    const FrameSize custom = options.customSize.value_or(FrameSize{});
    const ImageBox box = TargetBox(width, height, options.scaleStep, options.customSize ? 1 : 0,
                                   custom.width, custom.height);
    if (box == ImageBox{width, height}) return false;
    const ImageBox fitted = FitInside(width, height, box);
    const ImageLibraryLimits limits = EffectiveImageLibraryLimits();
    const auto w = static_cast<std::uint64_t>(fitted.width);
    const auto h = static_cast<std::uint64_t>(fitted.height);
    if (w > limits.width || h > limits.height || w * h > limits.area) {
        return Error{"the size " + SizeText(box.width, box.height) + " would make the image " +
                     SizeText(fitted.width, fitted.height) + " pixels, more than can be processed"};
    }
    image.resize(Magick::Geometry(static_cast<std::size_t>(box.width),
                                  static_cast<std::size_t>(box.height)));
    return true;
}

void Quantize(Magick::Image& image, std::size_t colours, bool setDitherMethod) {
    image.quantizeDither(true);
    // The library's first dither method value, as the presets were tuned with.
    if (setDitherMethod) image.quantizeDitherMethod(Magick::UndefinedDitherMethod);
    image.quantizeColors(colours);
    image.quantize(false);
}

Magick::Blob Write(Magick::Image& image, const char* coder) {
    image.magick(coder);
    Magick::Blob blob;
    image.write(&blob);
    return blob;
}

Result<Magick::Image> DecodeFirst(std::span<const std::uint8_t> bytes, ImageFormat format) {
    auto frames = DecodeImage(bytes, format, FrameSelection::First);
    if (!frames) return frames.error();
    return std::move(frames.value().front());
}

Result<Magick::Blob> EncodeJpeg(const SourceImage& source, const ImageJobSettings& settings) {
    auto decoded = DecodeFirst(source.bytes, source.format);
    if (!decoded) return decoded.error();
    Magick::Image& image = decoded.value();
    image.autoOrient();
    image.strip();
    image.quality(JpegQuality(settings.options.level));
    if (auto resized = ResizeToBox(image, settings); !resized) return resized.error();
    if (image.matte()) {
        image.backgroundColor(Magick::Color("white"));
        image.alphaChannel(Magick::RemoveAlphaChannel);
    }
    return Write(image, "JPEG");
}

Result<Magick::Blob> EncodePng(const SourceImage& source, const ImageJobSettings& settings) {
    auto decoded = DecodeFirst(source.bytes, source.format);
    if (!decoded) return decoded.error();
    Magick::Image& image = decoded.value();
    image.autoOrient();
    image.strip();
    if (auto resized = ResizeToBox(image, settings); !resized) return resized.error();
    Quantize(image, PaletteColours(settings.options.level), true);
    return Write(image, "PNG");
}

Result<Magick::Blob> EncodeBmp(const SourceImage& source, const ImageJobSettings& settings,
                               const std::stop_token& stop) {
    auto decoded = DecodeFirst(source.bytes, source.format);
    if (!decoded) return decoded.error();
    Magick::Image& first = decoded.value();
    first.autoOrient();
    first.strip();
    Quantize(first, 256, true);

    auto temp = TempPngFile::Create(settings.tempDir);
    if (!temp) return temp.error();
    const Magick::Blob png = Write(first, "PNG");
    if (auto written = OverwriteFile(temp.value().path(), BlobBytes(png)); !written) {
        return written.error();
    }
    if (stop.stop_requested()) return kStopped;

    auto pngBytes = ReadWholeFile(temp.value().path());
    if (!pngBytes) {
        return Error{"cannot read back " + temp.value().path().string() + ": " +
                     pngBytes.error().message};
    }
    auto reread = DecodeFirst(pngBytes.value(), ImageFormat::Png);
    if (!reread) return reread.error();
    Magick::Image& image = reread.value();
    if (auto resized = ResizeToBox(image, settings); !resized) return resized.error();
    Quantize(image, PaletteColours(settings.options.level), false);
    return Write(image, "BMP");
}

void MakeQuiet(Frames& frames) {
    for (Magick::Image& frame : frames) frame.quiet(true);
}

Frames KeepFrames(Frames& frames, const std::vector<std::size_t>& kept) {
    std::vector<std::size_t> delays;
    delays.reserve(frames.size());
    for (const Magick::Image& frame : frames) delays.push_back(frame.animationDelay());
    const std::vector<std::size_t> merged = MergedDelays(delays, kept);
    // The loop count travels with the first frame written.
    const std::size_t iterations = frames.front().animationIterations();
    Frames result;
    result.reserve(kept.size());
    for (std::size_t i = 0; i < kept.size(); ++i) {
        result.push_back(frames[kept[i]]);
        result.back().animationDelay(merged[i]);
    }
    result.front().animationIterations(iterations);
    return result;
}

Result<Magick::Blob> EncodeGif(const SourceImage& source, const ImageJobSettings& settings,
                               const std::stop_token& stop) {
    auto decoded = DecodeImage(source.bytes, source.format, FrameSelection::All);
    if (!decoded) return decoded.error();
    Frames frames = std::move(decoded).value();

    const bool dropping = settings.options.gifDropIndex.has_value();
    std::vector<std::size_t> kept;
    if (dropping) {
        kept = KeptFrames(frames.size(), *settings.options.gifDropIndex);
        if (kept.empty()) {
            return Error{"dropping frames would leave none of its " +
                         std::to_string(frames.size()) + " frame(s)"};
        }
    }

    // Frames of an optimised GIF hold only what changed since the previous one;
    // resizing them one by one or leaving some out would break the picture, so
    // they are composed into whole frames first.
    const bool reshape = dropping || ResizeRequested(settings.options);
    if (reshape) {
        Frames composed;
        Magick::coalesceImages(&composed, frames.begin(), frames.end());
        frames = std::move(composed);
        MakeQuiet(frames);
    }

    const double fuzz = GifColourFuzz(settings.options.level);
    for (Magick::Image& frame : frames) {
        if (stop.stop_requested()) return kStopped;
        frame.strip();
        frame.colorFuzz(fuzz);
        auto resized = ResizeToBox(frame, settings);
        if (!resized) return resized.error();
        if (resized.value()) frame.page(Magick::Geometry(frame.columns(), frame.rows(), 0, 0));
    }

    if (dropping) frames = KeepFrames(frames, kept);
    if (reshape) {
        Frames optimised;
        Magick::optimizeImageLayers(&optimised, frames.begin(), frames.end());
        frames = std::move(optimised);
        MakeQuiet(frames);
    }
    if (stop.stop_requested()) return kStopped;
    Magick::optimizeTransparency(frames.begin(), frames.end());

    frames.front().magick("GIF");
    Magick::Blob blob;
    Magick::writeImages(frames.begin(), frames.end(), &blob, true);
    return blob;
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
