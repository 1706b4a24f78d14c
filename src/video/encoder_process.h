// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/result.h"

namespace brisklo {

// How a child process ended.
struct ProcessExit {
    bool signalled = false;
    int code = 0;  // exit status, or the signal number when signalled

    bool clean() const { return !signalled && code == 0; }
    std::string Describe() const;  // "exited with status 1", "was killed by signal 9 (Killed)"
};

// One encoder child: started from an argument vector without a shell, standard
// output and standard error into one pipe, standard input from /dev/null, in a
// process group of its own so that stopping it also stops anything it started,
// and killed by the kernel when the thread that started it ends (in practice, when
// the program dies in any way).
// An argument "/dev/fd/N" hands the child our open descriptor N under the same
// number (the held output file); every other descriptor of ours is closed in it.
// The owner reads the pipe; the process is always reaped, at the latest by the
// destructor, which stops it first if it still runs.
// The open descriptors of ours that argv names as "/dev/fd/N" (N above 2).
std::vector<int> HandedOverDescriptors(std::span<const std::string> argv);

class EncoderProcess {
  public:
    static Result<std::unique_ptr<EncoderProcess>> Start(std::span<const std::string> argv);
    ~EncoderProcess();
    EncoderProcess(const EncoderProcess&) = delete;
    EncoderProcess& operator=(const EncoderProcess&) = delete;

    // Read end of the output pipe (non-blocking); -1 once closed.
    int outputFd() const { return m_outputFd; }
    void CloseOutput();
    pid_t pid() const { return m_pid; }

    // The exit, if the process has ended; never blocks.
    std::optional<ProcessExit> TryReap();
    // Waits for the end of the process.
    ProcessExit Wait();
    // Asks the process group to end (SIGTERM), kills it after grace, reaps it.
    // Safe from any thread, and after the process has already ended.
    ProcessExit Stop(std::chrono::milliseconds grace = std::chrono::milliseconds(2000));

  private:
    EncoderProcess(pid_t pid, int outputFd) : m_pid(pid), m_outputFd(outputFd) {}
    std::optional<ProcessExit> ReapLocked(bool block);

    const pid_t m_pid;
    int m_outputFd;
    std::mutex m_mutex;  // guards m_exit and the reaping
    std::optional<ProcessExit> m_exit;
};

}  // namespace brisklo
