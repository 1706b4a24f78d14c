// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/media_options.h"
#include "core/result.h"

namespace brisklo::cli {

// What the command line asked for. Unset options fall back to the settings file.
struct CliOptions {
    std::vector<std::string> paths;
    bool recursive = false;
    std::optional<std::string> outputDir;
    std::optional<CompressionLevel> level;
    std::optional<VideoContainer> format;
    std::optional<PixelSize> size;  // 0x0 keeps the source size
    std::optional<int> crf;         // custom quality, overrides the level
    bool balanced = false;
    bool qualityFirst = false;
    std::optional<std::int64_t> targetSize;  // bytes each video must fit under
    std::optional<int> targetPercent;        // share of each video's own size, 1-99
    std::optional<int> channels;
    std::optional<int> sampleRate;
    std::optional<int> audioBitrate;
    std::optional<CompressionLevel> imageLevel;
    bool jpeg = false;
    std::optional<int> scale;                  // 0-5
    std::optional<PixelSize> imageSize;        // custom image size
    std::optional<int> gifDrop;                // 0-4
    std::optional<std::int64_t> imageMaxSize;  // bytes each image must fit under
    bool keepPhotoInfo = false;                // keep EXIF, without GPS
    bool keepLocation = false;                 // keep EXIF with GPS
    std::optional<int> minSaving;              // percent; below it the source is kept
    std::optional<int> stallTimeout;           // seconds; 0 never ends a silent encoder
    bool allowLarger = false;                  // keep an output even when it is not smaller
    bool json = false;
    bool quiet = false;
    bool verbose = false;
    bool help = false;
    bool version = false;
};

// The options of this run: the settings with the command line's choices laid over.
VideoOptions VideoOptionsFor(const CliOptions& options, VideoOptions settings);
ImageOptions ImageOptionsFor(const CliOptions& options, ImageOptions settings);

// "8M", "2.5M", "200K", "1G" or a number of bytes (K, M and G count 1024s); none
// for anything else or less than 1K.
std::optional<std::int64_t> ParseByteSize(std::string_view text);

// Parses the arguments after the program name. A bad value gives an error that
// names the option and lists what is allowed.
Result<CliOptions> ParseCliOptions(const std::vector<std::string>& args);

std::string UsageText();

}  // namespace brisklo::cli
