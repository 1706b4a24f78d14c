// SPDX-License-Identifier: GPL-3.0-or-later
#include "video/encoder_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <thread>
#include <vector>

extern char** environ;

namespace brisklo {
namespace {

ProcessExit FromWaitStatus(int status) {
    if (WIFSIGNALED(status)) return {true, WTERMSIG(status)};
    return {false, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

// The program a name without a slash stands for, searched on PATH as a shell
// would; done before the fork so that the child only calls async-signal-safe
// functions.
std::string ResolveProgram(const std::string& name) {
    if (name.find('/') != std::string::npos) return name;
    const char* path = std::getenv("PATH");
    std::string_view dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    while (true) {
        const auto colon = dirs.find(':');
        std::string dir(dirs.substr(0, colon));
        if (dir.empty()) dir = ".";
        const std::string candidate = dir + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
        if (colon == std::string_view::npos) break;
        dirs.remove_prefix(colon + 1);
    }
    return name;  // execve then fails with "No such file or directory"
}

// Tells the parent why the child could not become the encoder.
[[noreturn]] void ReportAndExit(int errorFd, int error) {
    [[maybe_unused]] const ssize_t n = ::write(errorFd, &error, sizeof error);
    ::_exit(127);
}

// Between fork and exec: only async-signal-safe calls. Reports a failure as an
// errno value on errorFd and never returns.
[[noreturn]] void BecomeEncoder(const char* program, char* const* args, int outputFd, int errorFd,
                                const std::vector<int>& kept, pid_t parent) {
    const auto fail = [errorFd](int error) { ReportAndExit(errorFd, error); };
    // The encoder dies with us, even when we are killed outright (kill -9, a
    // crash), so no orphan finishes a file that nobody will report.
    if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0) fail(errno);
    if (::getppid() != parent) ::_exit(127);  // we died before the line above took effect
    // A process group of its own, so stopping it also stops anything it starts.
    if (::setpgid(0, 0) != 0) fail(errno);
    // Ignored signals stay ignored across exec (we ignore SIGPIPE and SIGXFSZ);
    // the encoder gets every signal as a plain program would.
    struct sigaction defaults {};
    defaults.sa_handler = SIG_DFL;
    for (int sig : {SIGINT, SIGTERM, SIGPIPE, SIGHUP, SIGQUIT, SIGXFSZ, SIGCHLD}) {
        ::sigaction(sig, &defaults, nullptr);
    }
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);

    const int input = ::open("/dev/null", O_RDONLY);
    if (input < 0) fail(errno);
    if (::dup2(input, STDIN_FILENO) < 0 || ::dup2(outputFd, STDOUT_FILENO) < 0 ||
        ::dup2(outputFd, STDERR_FILENO) < 0) {
        fail(errno);
    }
    // Nothing else of ours (other pipes, sockets, lock files) leaks into the child;
    // errorFd closes itself on exec, the descriptors handed over stay open across it.
    // kept is sorted and holds errorFd.
    unsigned int from = STDERR_FILENO + 1;
    for (const int fd : kept) {
        if (fd != errorFd && ::fcntl(fd, F_SETFD, 0) != 0) fail(errno);
        if (static_cast<unsigned int>(fd) > from) ::close_range(from, fd - 1, 0);
        from = static_cast<unsigned int>(fd) + 1;
    }
    ::close_range(from, ~0U, 0);
    ::execve(program, args, environ);
    ReportAndExit(errorFd, errno);
}

}  // namespace

std::vector<int> HandedOverDescriptors(std::span<const std::string> argv) {
    constexpr std::string_view kPrefix = "/dev/fd/";
    std::vector<int> fds;
    for (const std::string& arg : argv) {
        if (!arg.starts_with(kPrefix) || arg.size() == kPrefix.size() ||
            arg.size() > kPrefix.size() + 9) {
            continue;
        }
        const std::string_view digits = std::string_view(arg).substr(kPrefix.size());
        if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        const int fd = std::stoi(std::string(digits));
        // Only a descriptor that is open here can be handed over.
        if (fd > STDERR_FILENO && ::fcntl(fd, F_GETFD) != -1) fds.push_back(fd);
    }
    return fds;
}

std::string ProcessExit::Describe() const {
    if (signalled) {
        return "was killed by signal " + std::to_string(code) + " (" + strsignal(code) + ")";
    }
    return "exited with status " + std::to_string(code);
}

Result<std::unique_ptr<EncoderProcess>> EncoderProcess::Start(std::span<const std::string> argv) {
    if (argv.empty() || argv.front().empty()) return Error{"no encoder program given"};
    auto cannot = [](const std::string& what, int error) {
        return Error{what + ": " + std::strerror(error)};
    };

    int output[2];
    if (::pipe2(output, O_CLOEXEC) != 0) {
        return cannot("cannot create the encoder's output pipe", errno);
    }
    int status[2];
    if (::pipe2(status, O_CLOEXEC) != 0) {
        const int error = errno;
        ::close(output[0]);
        ::close(output[1]);
        return cannot("cannot create the encoder's output pipe", error);
    }

    const std::string program = ResolveProgram(argv.front());
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    // Made before the fork: the child may not allocate.
    std::vector<int> kept = HandedOverDescriptors(argv);
    kept.push_back(status[1]);
    std::sort(kept.begin(), kept.end());
    kept.erase(std::unique(kept.begin(), kept.end()), kept.end());
    kept.erase(std::remove_if(kept.begin(), kept.end(), [](int fd) { return fd <= STDERR_FILENO; }),
               kept.end());

    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) BecomeEncoder(program.c_str(), args.data(), output[1], status[1], kept, parent);
    const int forkError = errno;
    // Our copies of the write ends go at once, so each pipe ends when the child does.
    ::close(output[1]);
    ::close(status[1]);
    if (pid < 0) {
        ::close(output[0]);
        ::close(status[0]);
        return cannot("cannot start the encoder " + argv.front(), forkError);
    }
    // The child's errno when it could not become the encoder; nothing once exec ran.
    int childError = 0;
    ssize_t n;
    do {
        n = ::read(status[0], &childError, sizeof childError);
    } while (n < 0 && errno == EINTR);
    ::close(status[0]);
    if (n > 0) {
        int ignored = 0;
        while (::waitpid(pid, &ignored, 0) < 0 && errno == EINTR) {
        }
        ::close(output[0]);
        return cannot("cannot start the encoder " + argv.front(), childError);
    }
    ::fcntl(output[0], F_SETFL, ::fcntl(output[0], F_GETFL) | O_NONBLOCK);
    return std::unique_ptr<EncoderProcess>(new EncoderProcess(pid, output[0]));
}

EncoderProcess::~EncoderProcess() {
    Stop();
    CloseOutput();
}

void EncoderProcess::CloseOutput() {
    if (m_outputFd >= 0) {
        ::close(m_outputFd);
        m_outputFd = -1;
    }
}

std::optional<ProcessExit> EncoderProcess::ReapLocked(bool block) {
    if (m_exit) return m_exit;
    int status = 0;
    pid_t done;
    do {
        done = ::waitpid(m_pid, &status, block ? 0 : WNOHANG);
    } while (done < 0 && errno == EINTR);
    if (done == m_pid) {
        m_exit = FromWaitStatus(status);
    } else if (done < 0) {
        // Reaped elsewhere (a SIGCHLD handler set to ignore); its status is lost.
        m_exit = ProcessExit{false, -1};
    }
    return m_exit;
}

std::optional<ProcessExit> EncoderProcess::TryReap() {
    std::lock_guard lock(m_mutex);
    return ReapLocked(false);
}

ProcessExit EncoderProcess::Wait() {
    std::lock_guard lock(m_mutex);
    return *ReapLocked(true);
}

ProcessExit EncoderProcess::Stop(std::chrono::milliseconds grace) {
    {
        std::lock_guard lock(m_mutex);
        if (ReapLocked(false)) return *m_exit;
        // Unreaped, so the pid (and its group) cannot have been reused.
        ::kill(-m_pid, SIGTERM);
    }
    const auto deadline = std::chrono::steady_clock::now() + grace;
    while (std::chrono::steady_clock::now() < deadline) {
        if (auto exit = TryReap()) return *exit;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::lock_guard lock(m_mutex);
    if (!ReapLocked(false)) ::kill(-m_pid, SIGKILL);
    return *ReapLocked(true);
}

}  // namespace brisklo
