// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace brisklo {

// Where a task stands. Stopped and cancelled are the user's doing, not failures.
enum class TaskState {
    Idle,          // added, not queued
    Waiting,       // queued, waiting for a free slot
    Running,       // being compressed
    Done,          // the output is written
    KeptOriginal,  // compressing did not pay: the output is a copy of the source
    Failed,        // ended without an output, for the reason given
    Stopped,       // stopped by the user while it ran
    Cancelled,     // taken off the waiting list before it ran
};

// "idle", "waiting", "running", "done", "kept-original", "failed", "stopped",
// "cancelled": the names the command line prints and writes into its JSON.
std::string_view StateName(TaskState state);

// A task that has ended in any way; it may be queued again.
bool HasEnded(TaskState state);

}  // namespace brisklo
