// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/task_outcome.h"

#include <sstream>
#include <system_error>

#include "core/log.h"
#include "core/saving.h"

namespace brisklo {
namespace fs = std::filesystem;

TaskOutcome MeasureOutcome(std::int64_t sourceSize, const fs::path& outputPath) {
    TaskOutcome outcome;
    outcome.outputPath = outputPath;
    outcome.sourceSize = sourceSize;
    std::error_code error;
    const auto size = fs::file_size(outputPath, error);
    if (error) {
        outcome.problem =
            "the output file " + outputPath.string() + " is missing (" + error.message() + ")";
        LogLine("%s\n", outcome.problem.c_str());
        return outcome;
    }
    outcome.outputSize = static_cast<std::int64_t>(size);
    outcome.saving = ComputeSaving(sourceSize, outcome.outputSize);
    if (!outcome.saving) {
        outcome.state = OutcomeState::EmptySource;
    } else {
        outcome.state =
            outcome.outputSize < sourceSize ? OutcomeState::Smaller : OutcomeState::NotSmaller;
        outcome.grew = outcome.outputSize > sourceSize;
    }

    std::ostringstream log;
    log << "srcFile.fileSize: " << sourceSize << "\n"
        << "fileSize: " << outcome.outputSize << "\n";
    if (outcome.saving) log << "percent: " << *outcome.saving << "\n";
    LogLine("%s", log.str().c_str());
    return outcome;
}

}  // namespace brisklo
