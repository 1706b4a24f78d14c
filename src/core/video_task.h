// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace brisklo {

// One row of the video list.
struct VideoTask {
    std::string fileName;       // name with extension, without its folder
    std::string auxText;        // stays empty for videos
    std::string fullPath;       // the encoder's input
    std::int64_t fileSize = 0;  // bytes when the file was added; the saving compares with it
    // Where under the output folder the output goes ("2024/trips"), when the
    // file came from a sub-folder of a folder added with its sub-folders.
    std::filesystem::path outputSubfolder;
};

// A task's own encoding parameters, set in the task parameter dialog. The index
// fields only let the dialog show the earlier choice again.
struct TaskParam {
    std::int32_t taskId = 0;
    std::int32_t compressType = 0;  // 0 general, 1 deep, 2 limit
    std::int32_t videoType = 0;     // 0 mp4, 1 flv, 2 mov, 3 mkv
    std::int32_t resolutionIndex = 0;
    std::int32_t width = 0;  // 0 keeps the source size
    std::int32_t height = 0;
    std::int32_t channelIndex = 0;
    std::int32_t channel = 2;
    std::int32_t sampleRateIndex = 4;
    std::int32_t sampleRate = 44100;
    std::int32_t bitrateIndex = 1;
    std::int32_t bitrate = 128000;
    // A size to fit under instead of the level: 0 none, 1 targetKb, 2 targetPercent
    // of the source.
    std::int32_t targetKind = 0;
    std::int64_t targetKb = 0;
    std::int32_t targetPercent = 50;

    bool operator==(const TaskParam&) const = default;
};

}  // namespace brisklo
