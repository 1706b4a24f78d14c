#pragma once

#include <cstdint>
#include <filesystem>
#include <stop_token>
#include <string>

#include "core/messages.h"
#include "core/settings_source.h"

namespace brisklo {

// The user's image options at the moment a task is dispatched. The front end fills
// it (from the option controls, the settings store or the command line); the job
// never reads settings itself.
struct ImageJobSettings {
    std::int32_t compressType = 0;       // image-compress-type: 0 general, 1 deep, 2 limit
    std::int32_t imageType = 0;          // image-type: 0 keep the format, else convert to JPEG
    std::int32_t ratioIndex = 0;         // image-ratio-index: 1..5 shrink by tenths
    std::int32_t defineSize = 0;         // image-define-param: nonzero uses width x height
    std::int32_t width = 0;              // custom width ("image-width"), 0 when empty
    std::int32_t height = 0;             // custom height ("image-height"), 0 when empty
    std::int32_t gifDropFrames = 0;      // gif-define-param: nonzero drops GIF frames
    std::int32_t gifDropFrameIndex = 0;  // gif-drop-frame-index: which frames, 0..4
    std::filesystem::path outputDir;     // where the output is written
    std::filesystem::path tempDir;       // the application's temporary folder
    bool keepOriginalIfLarger = true;    // keep-original-if-larger: never a bigger file
};

// The image options as the settings hold them at this moment, with the custom
// size the user typed (0 for an empty field), the output folder resolved and the
// program's temporary folder.
ImageJobSettings ImageJobSettingsFrom(const SettingsSource& settings, std::int32_t width,
                                      std::int32_t height);

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

// Compresses one image and says how it went. Never throws. A stop request is
// honoured between steps: the job then fails and removes what it had written.
ImageResult CompressImage(const ImageJob& job, std::stop_token stop = {});

// Thread body of one image job: CompressImage, then exactly one ImageDone with the
// ImageResult posted to sink.
void RunImageJob(std::stop_token stop, const ImageJob& job, MessageSink& sink);

}  // namespace brisklo
