#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/pending_output.h"
#include "core/result.h"
#include "core/video_task.h"

namespace brisklo {

class SettingsSource;

// The main window's video option controls, read at the moment a task starts.
struct VideoOptionValues {
    bool customQuality = false;  // "video-compress-check"
    int qualitySlider = 0;       // "video-compress-slider"
    bool balanced = false;       // "video-compress-balanced-check"
};

// What one encode is made of, before the output name is chosen.
struct EncodeSettings {
    std::int32_t compressType = 0;
    std::int32_t videoType = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t channel = 2;
    std::int32_t sampleRate = 44100;
    std::int32_t bitrate = 128000;
    std::int32_t quality = 28;
    std::string preset;
    std::string sizeText;  // "1280*720", or empty to keep the source size
    std::string extension;
    std::string muxer;  // the container as the encoder's -f names it
};

struct EncoderCommand {
    std::vector<std::string> argv;
    // The hidden file the encoder writes into; moved into its final name
    // (baseName.extension, numbered on a clash) once the encode has succeeded.
    std::shared_ptr<PendingOutput> output;
    std::string baseName;
    std::string extension;
    std::string displayText;  // the command as one line, for logs
};

// The task's own parameters when it has them, else the settings of this moment;
// then the quality, preset, frame size and container they stand for.
EncodeSettings ResolveEncodeSettings(const std::optional<TaskParam>& param,
                                     const SettingsSource& config, const VideoOptionValues& options);

// The output name's stem: the file name before its last ".", or the whole name
// when it has no extension.
std::string OutputBaseName(std::string_view fileName);

// Builds the encoder's argument vector for one task and creates its hidden output
// file in outputFolder. Input and output are given as absolute paths, so no file
// name can be read as an option or a protocol; the container is named with -f, as
// the hidden name has no extension that says it.
Result<EncoderCommand> BuildEncoderCommand(const VideoTask& task, const EncodeSettings& settings,
                                           const std::filesystem::path& outputFolder,
                                           const std::filesystem::path& encoder);

}  // namespace brisklo
