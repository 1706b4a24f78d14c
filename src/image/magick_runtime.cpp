// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/magick_runtime.h"

#include <Magick++.h>

#include <filesystem>
#include <mutex>
#include <stdexcept>

#include "core/log.h"
#include "core/temp_area.h"

namespace brisklo {
namespace {

// Pixel caches that spill to disk go into this run's temporary folder, which a
// later start clears if the run is killed, instead of staying in /tmp for ever.
void DirectTemporaryFiles() {
    const std::filesystem::path& folder = RunTemporaryFolder();
    if (folder.empty()) return;
    MagickCore::ExceptionInfo* exception = MagickCore::AcquireExceptionInfo();
    MagickCore::SetImageRegistry(MagickCore::StringRegistryType, "temporary-path", folder.c_str(),
                                 exception);
    MagickCore::DestroyExceptionInfo(exception);
}

// ImageMagick loads a coder, its delegates and its message tables on first use,
// and that set-up is not safe when several jobs decode for the first time at
// once. A round trip through each format we read and write does it all here,
// under the once-flag, before any job runs.
void LoadCoders() {
    for (const char* format : {"PNG", "JPEG", "GIF", "BMP"}) {
        try {
            Magick::Image image(Magick::Geometry(2, 2), Magick::Color("white"));
            image.magick(format);
            Magick::Blob blob;
            image.write(&blob);
            Magick::Image back;
            back.read(blob);
        } catch (const std::exception& error) {
            LogLine("image library: cannot prepare %s: %s\n", format, error.what());
        }
    }
}

// ImageMagick's own fatal-error handler prints and ends the process, so one
// image that exhausts memory ("unable to acquire string") would end every other
// task and the run's report with it. Ours throws instead: the exception leaves the
// library on the job's thread and fails that one job (CompressImage catches it).
[[noreturn]] void ThrowFatal(const MagickCore::ExceptionType, const char* reason,
                             const char* description) {
    std::string text = "the image library gave up";
    if (reason && *reason) text += std::string(": ") + reason;
    if (description && *description) text += std::string(" (") + description + ")";
    throw ImageLibraryFatalError(text);
}

// Errors and warnings reach us as exceptions or records; printing them as well
// would only put the library's raw words on the terminal.
void LogProblem(const MagickCore::ExceptionType, const char* reason, const char* description) {
    LogLine("image library: %s%s%s\n", reason ? reason : "", description ? " " : "",
            description ? description : "");
}

std::string BytesText(std::uint64_t bytes) {
    constexpr std::uint64_t kMiB = 1ull << 20;
    constexpr std::uint64_t kGiB = 1ull << 30;
    if (bytes >= kGiB && bytes % kGiB == 0) return std::to_string(bytes / kGiB) + " GiB";
    return std::to_string(bytes / kMiB) + " MiB";
}

}  // namespace

void InitializeImageLibrary() {
    static std::once_flag once;
    std::call_once(once, [] {
        Magick::InitializeMagick(nullptr);
        MagickCore::SetFatalErrorHandler(ThrowFatal);
        MagickCore::SetErrorHandler(LogProblem);
        MagickCore::SetWarningHandler(LogProblem);
        const ImageLibraryLimits& limits = kImageLibraryLimits;
        Magick::ResourceLimits::width(limits.width);
        Magick::ResourceLimits::height(limits.height);
        Magick::ResourceLimits::area(limits.area);
        Magick::ResourceLimits::listLength(limits.listLength);
        Magick::ResourceLimits::memory(limits.memory);
        Magick::ResourceLimits::map(limits.map);
        Magick::ResourceLimits::disk(limits.disk);
        Magick::ResourceLimits::thread(limits.threads);
        DirectTemporaryFiles();
        LoadCoders();
    });
}

ImageLibraryLimits EffectiveImageLibraryLimits() {
    InitializeImageLibrary();
    ImageLibraryLimits limits;
    limits.width = Magick::ResourceLimits::width();
    limits.height = Magick::ResourceLimits::height();
    limits.area = Magick::ResourceLimits::area();
    limits.listLength = Magick::ResourceLimits::listLength();
    limits.memory = Magick::ResourceLimits::memory();
    limits.map = Magick::ResourceLimits::map();
    limits.disk = Magick::ResourceLimits::disk();
    limits.threads = Magick::ResourceLimits::thread();
    return limits;
}

std::string ResourceLimitReason(std::string_view detail) {
    const ImageLibraryLimits limits = EffectiveImageLibraryLimits();
    std::string reason = "it is beyond what image work may use (" + BytesText(limits.memory) +
                         " of memory, " + BytesText(limits.map) + " mapped, " +
                         BytesText(limits.disk) + " on disk; at most " +
                         std::to_string(limits.width) + "x" + std::to_string(limits.height) +
                         " and " + std::to_string(limits.area / 1'000'000) + " million pixels)";
    if (!detail.empty()) reason += ": " + std::string(detail);
    return reason;
}

}  // namespace brisklo
