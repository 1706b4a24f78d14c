// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/image_job.h"

#include <exception>
#include <system_error>

#include "core/file_utils.h"
#include "core/log.h"
#include "core/output_finish.h"
#include "core/pending_output.h"
#include "image/image_encode.h"
#include "image/image_naming.h"
#include "image/image_work_bound.h"
#include "image/magick_errors.h"
#include "image/magick_runtime.h"
#include "image/source_file.h"

namespace brisklo {
namespace fs = std::filesystem;

namespace {

std::optional<std::string> CheckFolder(const fs::path& folder, std::string_view role) {
    if (folder.empty()) return "no " + std::string(role) + " is set";
    std::error_code error;
    const fs::file_status status = fs::status(folder, error);
    if (!fs::exists(status)) {
        return "the " + std::string(role) + " " + folder.string() + " does not exist";
    }
    if (!fs::is_directory(status)) {
        return "the " + std::string(role) + " " + folder.string() + " is not a folder";
    }
    return std::nullopt;
}

// The steps of one job; any failure comes back as the text that follows the
// source's name in the result.
Result<FinishedOutput> Compress(const ImageJob& job, const std::stop_token& stop) {
    const ImageJobSettings& settings = job.settings;
    if (job.sourcePath.empty()) return Error{"no source file"};
    const SourceName name = SplitSourceName(job.sourcePath);
    if (auto problem = CheckFolder(settings.outputDir, "output folder")) return Error{*problem};

    // The content decides the branch, whatever the name says.
    auto source = LoadSourceImage(job.sourcePath);
    if (!source) return source.error();
    if (stop.stop_requested()) return Error{"stopped before it finished"};
    const ImageFormat format = source.value().format;
    const ImageBranch branch = ChooseImageBranch(format, settings.options.output);
    // Another format or another size was asked for: that is what the user gets,
    // even when it is larger.
    const bool conversion = OutputFormat(format, settings.options.output) != format ||
                            ChangesImageSize(source.value(), settings);

    auto encoded = EncodeImage(branch, source.value(), settings, stop);
    if (!encoded) return encoded.error();
    // Work the bound cut short may still have produced a (partial) picture.
    if (ImageWorkBound* bound = ImageWorkBound::Current(); bound && bound->Exceeded()) {
        return Error{*bound->Reason()};
    }
    if (encoded.value().length() == 0) return Error{"the encoder produced no data"};
    if (stop.stop_requested()) return Error{"stopped before it finished"};

    // Written into a hidden file of the output folder, which becomes the final
    // name only once it is complete; removed if anything fails on the way.
    auto output = PendingOutput::Create(settings.outputDir);
    if (!output) return output.error();
    const Magick::Blob& blob = encoded.value();
    const std::span<const std::uint8_t> bytes(static_cast<const std::uint8_t*>(blob.data()),
                                              blob.length());
    if (auto written = output.value().Write(bytes); !written) return written.error();
    if (stop.stop_requested()) return Error{"stopped before it finished"};
    // With a size limit, the source stands in for the output only when it fits too.
    const auto limit = settings.options.targetBytes;
    const bool sourceFits =
        !limit || static_cast<std::int64_t>(source.value().bytes.size()) <= *limit;
    return FinishOutput(
        output.value(),
        {job.sourcePath, name.baseName,
         OutputExtension(name.extension, format, settings.options.output),
         settings.keepOriginalIfLarger && !conversion && sourceFits, settings.minSavingPercent});
}

}  // namespace

ImageResult CompressImage(const ImageJob& job, std::stop_token stop) {
    ImageResult result;
    result.taskId = job.taskId;
    std::string failure;
    ImageWorkBound bound(stop, job.settings.timeLimit);
    try {
        InitializeImageLibrary();
        auto output = Compress(job, stop);
        if (output) {
            result.ok = true;
            result.outputPath = output.value().path;
            result.keptOriginal = output.value().keptOriginal;
        } else {
            failure = output.error().message;
        }
    } catch (const std::exception& error) {
        failure = DescribeException(error);
    } catch (...) {
        failure = "unexpected error";
    }
    // Work cut short shows up as whatever the library made of it; say why instead.
    if (const auto cut = bound.Reason(); cut && !result.ok) failure = *cut;
    if (!result.ok) {
        const FailureCode step = stop.stop_requested() ? FailureCode::Stopped
                                 : bound.Reason()      ? FailureCode::TimeLimit
                                                       : FailureCode::ImageFailed;
        result.failure = ClassifyFailure(step, job.sourcePath, failure);
        result.reason = job.sourcePath.string() + ": " + failure;
        LogLine("%s\n", result.reason.c_str());
    }
    return result;
}

void RunImageJob(std::stop_token stop, const ImageJob& job, MessageSink& sink) {
    ImageResult result = CompressImage(job, stop);
    try {
        PostMessage<MessageId::ImageDone>(sink, std::move(result));
    } catch (const std::exception& error) {
        LogLine("image task %d: cannot report its result: %s\n", job.taskId, error.what());
    }
}

}  // namespace brisklo
