// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "core/pending_output.h"
#include "core/result.h"

namespace brisklo {

// Where a finished output goes and what it is measured against.
struct OutputPlan {
    std::filesystem::path source;  // the file the output was made from
    std::string baseName;          // the output's name without number and extension
    std::string extension;         // the output's extension, without the dot
    // When the output is not smaller than the source, keep the source instead
    // (the setting keep-original-if-larger, off with --allow-larger). Only for a
    // pure recompression: when the user asked for another container, image format
    // or size, the output is what was asked for and is kept even when larger.
    bool keepOriginalIfLarger = true;
    // With keepOriginalIfLarger: the source is also kept when the output saves less
    // than this share of it (min-saving-percent, 0 to 99).
    int minSavingPercent = 0;
};

struct FinishedOutput {
    std::filesystem::path path;
    std::uint64_t size = 0;
    // The output did not pay: the source was copied under its own name instead.
    bool keptOriginal = false;
};

// True when an output of outputSize does not save the plan's share of sourceSize,
// so that the source is worth more than it (never for an empty source).
bool SavesTooLittle(std::uint64_t sourceSize, std::uint64_t outputSize, int minSavingPercent);

// Ends a task's output. An output not smaller than its (non-empty) source, or one
// that saves less than the plan's minimum, is discarded when the plan says so, and a copy of the
// source takes its place, under the source's own name and extension in the same folder. Either way
// the file gets the source's modification time and is moved into a free final name without
// replacing anything (see PendingOutput::Commit).
Result<FinishedOutput> FinishOutput(PendingOutput& output, const OutputPlan& plan);

}  // namespace brisklo
