// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
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
    std::optional<int> channels;
    std::optional<int> sampleRate;
    std::optional<int> audioBitrate;
    std::optional<CompressionLevel> imageLevel;
    bool jpeg = false;
    std::optional<int> scale;            // 0-5
    std::optional<PixelSize> imageSize;  // custom image size
    std::optional<int> gifDrop;          // 0-4
    std::optional<int> stallTimeout;     // seconds; 0 never ends a silent encoder
    bool allowLarger = false;            // keep an output even when it is not smaller
    bool json = false;
    bool quiet = false;
    bool verbose = false;
    bool help = false;
    bool version = false;
};

// The options of this run: the settings with the command line's choices laid over.
VideoOptions VideoOptionsFor(const CliOptions& options, VideoOptions settings);
ImageOptions ImageOptionsFor(const CliOptions& options, ImageOptions settings);

// Parses the arguments after the program name. A bad value gives an error that
// names the option and lists what is allowed.
Result<CliOptions> ParseCliOptions(const std::vector<std::string>& args);

std::string UsageText();

}  // namespace brisklo::cli
