// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

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
};

// A task's end without an output: the code, and the engine's reason, naming the
// file and saying what went wrong.
struct TaskFailure {
    FailureCode code = FailureCode::Unknown;
    std::string reason;
};

}  // namespace brisklo
