// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/media_options.h"
#include "core/pending_output.h"
#include "core/result.h"
#include "core/video_task.h"

namespace brisklo {

struct EncoderCommand {
    std::vector<std::string> argv;
    // The analysis pass of a two-pass encode, run before argv; empty otherwise.
    std::vector<std::string> firstPass;
    // The hidden file the encoder writes into; moved into its final name
    // (baseName.extension, numbered on a clash) once the encode has succeeded.
    std::shared_ptr<PendingOutput> output;
    std::string baseName;
    std::string extension;
    std::string displayText;  // the command as one line, for logs
};

// The output name's stem: the file name before its last ".", or the whole name
// when it has no extension.
std::string OutputBaseName(std::string_view fileName);

// Builds the encoder's argument vector for one task and creates its hidden output
// file in outputFolder. Input and output are given as absolute paths, so no file
// name can be read as an option or a protocol. The output is the held hidden file
// as "/dev/fd/N" (EncoderProcess hands that descriptor to the encoder), so another
// user who swaps the hidden name for a link cannot redirect the writing; the
// container is named with -f, as that name has no extension that says it.
//
// With twoPass, the encode is bound to a size: both passes give the video that bit
// rate (-b:v) instead of the quality, and share the pass log; the first pass reads
// the video alone and writes nothing.
struct TwoPassSettings {
    std::int64_t videoBitrate = 0;
    std::filesystem::path passLog;  // prefix of the encoder's statistics files
};
Result<EncoderCommand> BuildEncoderCommand(const VideoTask& task, const VideoOptions& options,
                                           const std::filesystem::path& outputFolder,
                                           const std::filesystem::path& encoder,
                                           const std::optional<TwoPassSettings>& twoPass = {});

// The same encoder arguments with another video bit rate (-b:v).
std::vector<std::string> WithVideoBitrate(std::vector<std::string> argv, std::int64_t bitrate);

}  // namespace brisklo
