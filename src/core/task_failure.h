// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace brisklo {

// Why a task ended without an output, as the engine knows it; the front ends turn
// it into their own words. Stopped is the user's doing, not a fault of the file.
enum class FailureCode {
    Unknown,            // none of the below
    Stopped,            // the user stopped it while it ran
    EncoderMissing,     // the encoder program could not be started
    EncoderFailed,      // the encoder ended with an error
    EncoderStalled,     // the encoder stopped making progress
    ImageFailed,        // the image could not be read, compressed or written
    TimeLimit,          // the image job ran out of time
    OutputFailed,       // the output could not be made, committed or measured
    TargetUnreachable,  // the output cannot be made to fit under the size asked for
    SourceMissing,      // the source file is gone
    Unsupported,        // the source is not a file of a kind the program reads
    Damaged,            // the source is of a readable kind but broken or cut short
    NoSpace,            // the disk holding the output or the temporary files is full
    NoPermission,       // the program may not read the source or write the output
    TooLarge,           // the source is too large to process within the limits
};

// A task's end without an output: the code, and the engine's reason, naming the
// file and saying what went wrong.
struct TaskFailure {
    FailureCode code = FailureCode::Unknown;
    std::string reason;
};

// The code that says best why a task failed: a source that is gone, a full disk,
// a refused permission, an unreadable or too large source, as the reason text or
// the file system tell; otherwise the code the failing step gave. A stop stays a stop.
FailureCode ClassifyFailure(FailureCode code, const std::filesystem::path& source,
                            std::string_view reason);

}  // namespace brisklo
