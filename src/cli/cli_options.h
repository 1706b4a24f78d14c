#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/result.h"

namespace brisklo::cli {

struct Size {
    int width = 0;
    int height = 0;
};

// What the command line asked for. Unset options fall back to the settings file.
struct CliOptions {
    std::vector<std::string> paths;
    bool recursive = false;
    std::optional<std::string> outputDir;
    std::optional<int> level;   // 0 general, 1 deep, 2 limit
    std::optional<int> format;  // 0 mp4, 1 flv, 2 mov, 3 mkv
    std::optional<Size> size;   // 0x0 keeps the source size
    std::optional<int> crf;     // like the custom quality slider
    bool balanced = false;
    std::optional<int> channels;
    std::optional<int> sampleRate;
    std::optional<int> audioBitrate;
    std::optional<int> imageLevel;
    bool jpeg = false;
    std::optional<int> scale;       // 0-5
    std::optional<Size> imageSize;  // custom image size
    std::optional<int> gifDrop;     // 0-4
    bool allowLarger = false;       // keep an output even when it is not smaller
    bool json = false;
    bool quiet = false;
    bool verbose = false;
    bool help = false;
    bool version = false;
};

// Parses the arguments after the program name. A bad value gives an error that
// names the option and lists what is allowed.
Result<CliOptions> ParseCliOptions(const std::vector<std::string>& args);

std::string UsageText();

}  // namespace brisklo::cli
