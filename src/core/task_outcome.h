// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace brisklo {

// How a finished task's output compares with its source.
enum class OutcomeState {
    Smaller,      // the output saves space
    NotSmaller,   // the output is as large as the source or larger
    EmptySource,  // the source had 0 bytes: there is no saving to show
    Missing,      // the output cannot be measured (gone, or not a file)
};

// A finished task measured: what the front ends turn into the row's size text,
// saving figure and colour, or the command line's result line.
struct TaskOutcome {
    OutcomeState state = OutcomeState::Missing;
    std::filesystem::path outputPath;
    std::int64_t sourceSize = 0;
    std::int64_t outputSize = 0;
    // (source − output) ÷ source × 100; none for an empty source or a missing output.
    std::optional<float> saving;
    // Why the output could not be measured, naming it; empty otherwise.
    std::string problem;
    // Why a successful output may be incomplete (a source that ended early); usually empty.
    std::string warning;
    // Compressing did not pay: the output is a copy of the source.
    bool keptOriginal = false;
    // The output is larger than its source and was delivered all the same: the user
    // asked for another format or size, or turned keep-the-original off.
    bool grew = false;

    bool ok() const { return state != OutcomeState::Missing; }
};

// Measures the output against the source size recorded when the task was added,
// and logs the sizes and the saving.
TaskOutcome MeasureOutcome(std::int64_t sourceSize, const std::filesystem::path& outputPath);

}  // namespace brisklo
