// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/image_decode.h"

#include <memory>
#include <optional>
#include <string>

#include "core/log.h"
#include "image/image_work_bound.h"
#include "image/magick_errors.h"
#include "image/magick_runtime.h"

namespace brisklo {
namespace {

struct ImageInfoDeleter {
    void operator()(MagickCore::ImageInfo* info) const { MagickCore::DestroyImageInfo(info); }
};
struct ExceptionDeleter {
    void operator()(MagickCore::ExceptionInfo* e) const { MagickCore::DestroyExceptionInfo(e); }
};
struct ImageListDeleter {
    void operator()(MagickCore::Image* list) const { MagickCore::DestroyImageList(list); }
};

// A record keeps every exception raised into it, not only the most severe one; a
// corrupt-image warning (truncated or damaged data) may hide behind a milder kind.
std::optional<std::string> FindCorruption(const MagickCore::ExceptionInfo& exception) {
    auto* entries = static_cast<MagickCore::LinkedListInfo*>(exception.exceptions);
    const std::size_t count = entries ? MagickCore::GetNumberOfElementsInLinkedList(entries) : 0;
    for (std::size_t i = 0; i < count; ++i) {
        const auto* entry = static_cast<const MagickCore::ExceptionInfo*>(
            MagickCore::GetValueFromLinkedList(entries, i));
        if (entry && entry->severity == MagickCore::CorruptImageWarning) {
            return DescribeMagickException(*entry);
        }
    }
    if (exception.severity == MagickCore::CorruptImageWarning) {
        return DescribeMagickException(exception);
    }
    return std::nullopt;
}

}  // namespace

Result<std::vector<Magick::Image>> DecodeImage(std::span<const std::uint8_t> bytes,
                                               ImageFormat format, FrameSelection frames) {
    InitializeImageLibrary();
    const std::unique_ptr<MagickCore::ImageInfo, ImageInfoDeleter> info(
        MagickCore::AcquireImageInfo());
    const std::unique_ptr<MagickCore::ExceptionInfo, ExceptionDeleter> exception(
        MagickCore::AcquireExceptionInfo());
    if (!info || !exception) return Error{"out of memory"};

    // "PNG:" with the format affirmed: ImageMagick neither sniffs the content nor
    // reads anything into the (empty) file name.
    const std::string coder(MagickCoderName(format));
    MagickCore::CopyMagickString(info->magick, coder.c_str(), MaxTextExtent);
    MagickCore::CopyMagickString(info->filename, (coder + ":").c_str(), MaxTextExtent);
    info->affirm = MagickCore::MagickTrue;
    if (ImageWorkBound* bound = ImageWorkBound::Current()) bound->Attach(*info);
    if (frames == FrameSelection::First) {
        info->scene = 0;
        info->number_scenes = 1;
    }

    std::unique_ptr<MagickCore::Image, ImageListDeleter> list(
        MagickCore::BlobToImage(info.get(), bytes.data(), bytes.size(), exception.get()));
    std::optional<std::string> corruption = FindCorruption(*exception);
    // Decoders leave some of their complaints on the images rather than the record.
    for (const MagickCore::Image* frame = list.get(); frame && !corruption; frame = frame->next) {
        corruption = FindCorruption(frame->exception);
    }
    if (list) MagickCore::GetImageException(list.get(), exception.get());

    if (ImageWorkBound* bound = ImageWorkBound::Current(); bound && bound->Exceeded()) {
        return Error{*bound->Reason()};
    }
    const MagickCore::ExceptionType severity = exception->severity;
    if (severity == MagickCore::ResourceLimitError) {
        return Error{"cannot decode the image: " +
                     ResourceLimitReason(DescribeMagickException(*exception))};
    }
    if (severity >= MagickCore::ErrorException) {
        return Error{"cannot decode the image: " + DescribeMagickException(*exception)};
    }
    if (corruption) return Error{"the image is damaged: " + *corruption};
    if (!list) return Error{"cannot decode the image: the decoder gave no picture"};
    if (severity != MagickCore::UndefinedException) {
        LogLine("image decoder warning: %s\n", DescribeMagickException(*exception).c_str());
    }

    std::vector<Magick::Image> decoded;
    Magick::insertImages(&decoded, list.release());
    for (Magick::Image& frame : decoded) {
        if (frame.columns() == 0 || frame.rows() == 0) {
            return Error{"cannot decode the image: it has no pixels"};
        }
        frame.quiet(true);
    }
    return decoded;
}

}  // namespace brisklo
