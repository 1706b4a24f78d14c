#include "video/encoder_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

extern char** environ;

namespace brisklo {
namespace {

// Frees the spawn attributes and file actions whatever path Start takes.
struct SpawnSetup {
    posix_spawn_file_actions_t actions{};
    posix_spawnattr_t attributes{};
    SpawnSetup() {
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attributes);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
};

ProcessExit FromWaitStatus(int status) {
    if (WIFSIGNALED(status)) return {true, WTERMSIG(status)};
    return {false, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

}  // namespace

std::string ProcessExit::Describe() const {
    if (signalled) {
        return "was killed by signal " + std::to_string(code) + " (" + strsignal(code) + ")";
    }
    return "exited with status " + std::to_string(code);
}

Result<std::unique_ptr<EncoderProcess>> EncoderProcess::Start(std::span<const std::string> argv) {
    if (argv.empty() || argv.front().empty()) return Error{"no encoder program given"};

    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        return Error{std::string("cannot create the encoder's output pipe: ") +
                     std::strerror(errno)};
    }
    const int readFd = fds[0];
    const int writeFd = fds[1];

    SpawnSetup setup;
    posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&setup.actions, writeFd, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&setup.actions, writeFd, STDERR_FILENO);
    // Nothing else of ours (other pipes, sockets, lock files) leaks into the child.
    posix_spawn_file_actions_addclosefrom_np(&setup.actions, STDERR_FILENO + 1);

    sigset_t defaults;
    sigemptyset(&defaults);
    for (int sig : {SIGINT, SIGTERM, SIGPIPE, SIGHUP, SIGQUIT}) sigaddset(&defaults, sig);
    sigset_t noneBlocked;
    sigemptyset(&noneBlocked);
    posix_spawnattr_setsigdefault(&setup.attributes, &defaults);
    posix_spawnattr_setsigmask(&setup.attributes, &noneBlocked);
    posix_spawnattr_setpgroup(&setup.attributes, 0);
    posix_spawnattr_setflags(
        &setup.attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETPGROUP);

    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    pid_t pid = -1;
    const bool searchPath = argv.front().find('/') == std::string::npos;
    const int rc =
        searchPath
            ? posix_spawnp(&pid, args[0], &setup.actions, &setup.attributes, args.data(), environ)
            : posix_spawn(&pid, args[0], &setup.actions, &setup.attributes, args.data(), environ);
    // Our copy of the write end goes at once, so the pipe ends when the child does.
    ::close(writeFd);
    if (rc != 0) {
        ::close(readFd);
        return Error{"cannot start the encoder " + argv.front() + ": " + std::strerror(rc)};
    }
    ::fcntl(readFd, F_SETFL, ::fcntl(readFd, F_GETFL) | O_NONBLOCK);
    return std::unique_ptr<EncoderProcess>(new EncoderProcess(pid, readFd));
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
