#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <stop_token>
#include <string>

#include "core/media_options.h"
#include "core/messages.h"
#include "core/settings_source.h"

namespace brisklo {

// Longest an image job may run. The largest images within the pixel limits take
// well under a minute on a slow machine; far beyond that, something is wrong.
inline constexpr std::chrono::seconds kImageJobTimeLimit{180};

// What one image job needs: the user's options at the moment the task was
// dispatched, where the output goes and the program's temporary folder. The job
// never reads settings itself.
struct ImageJobSettings {
    ImageOptions options;
    std::filesystem::path outputDir;
    std::filesystem::path tempDir;
    // Longest one job may take; a stop request or this ends it at once.
    std::chrono::seconds timeLimit = kImageJobTimeLimit;
    bool keepOriginalIfLarger = true;  // keep-original-if-larger: never a bigger file
};

// The options with the output folder the settings name (created if missing) and
// the program's temporary folder.
ImageJobSettings ImageJobSettingsFor(const ImageOptions& options, const SettingsSource& settings);

// One image to compress: the source and the settings snapshot.
struct ImageJob {
    std::int32_t taskId = 0;
    std::filesystem::path sourcePath;
    ImageJobSettings settings;
};

// Payload of MessageId::ImageDone, posted once per job, success or not.
struct ImageResult {
    std::int32_t taskId = 0;
    bool ok = false;
    // The file written; empty when the job failed (a failed job leaves no output).
    std::filesystem::path outputPath;
    // The output did not pay: outputPath is a copy of the source.
    bool keptOriginal = false;
    // Why the job failed, naming the file; empty on success.
    std::string reason;
};

// Compresses one image and says how it went. Never throws. A stop request or the
// job's time limit ends the image library's work at its next row: the job then
// fails with that reason and removes what it had written.
ImageResult CompressImage(const ImageJob& job, std::stop_token stop = {});

// Thread body of one image job: CompressImage, then exactly one ImageDone with the
// ImageResult posted to sink.
void RunImageJob(std::stop_token stop, const ImageJob& job, MessageSink& sink);

}  // namespace brisklo
