// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <stop_token>
#include <string>

#include "core/media_options.h"
#include "core/messages.h"
#include "core/task_failure.h"
#include "image/image_job_settings.h"

namespace brisklo {

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
    FailureCode failure = FailureCode::Unknown;  // of a failed job
};

// Compresses one image and says how it went. Never throws. A stop request or the
// job's time limit ends the image library's work at its next row: the job then
// fails with that reason and removes what it had written.
ImageResult CompressImage(const ImageJob& job, std::stop_token stop = {});

// Thread body of one image job: CompressImage, then exactly one ImageDone with the
// ImageResult posted to sink. A job stopped by a stop request fails as Stopped.
void RunImageJob(std::stop_token stop, const ImageJob& job, MessageSink& sink);

}  // namespace brisklo
