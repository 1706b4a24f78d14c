#include "core/pending_output.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <random>
#include <string>
#include <system_error>

#include "core/file_utils.h"

namespace brisklo {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kPrefix = ".brisklo-";
constexpr std::string_view kSuffix = ".part";
constexpr std::size_t kHexDigits = 16;
constexpr int kMaxNumber = 1'000'000;
// An empty hidden file younger than this may be one that was created an instant
// ago and is about to be locked.
constexpr std::time_t kEmptyGraceSeconds = 5;

Error FileError(std::string_view what, const fs::path& path, int error) {
    return Error{std::string(what) + " " + path.string() + ": " + std::strerror(error)};
}

std::string RandomHex() {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::random_device device;
    std::mt19937_64 generator((static_cast<std::uint64_t>(device()) << 32) ^ device());
    std::uint64_t value = generator();
    std::string text(kHexDigits, '0');
    for (char& digit : text) {
        digit = kDigits[value & 0xF];
        value >>= 4;
    }
    return text;
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Moves from to the name to, failing with EEXIST when to exists. Hard links are
// tried first; a file system without them gets a no-replace rename, and one
// without that either an exclusively created placeholder renamed over.
int MoveNoReplace(const fs::path& from, const fs::path& to) {
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return 0;
    }
    const int linkError = errno;
    if (linkError == EEXIST || linkError == ENOENT || linkError == EACCES || linkError == ENOSPC ||
        linkError == EROFS || linkError == ENAMETOOLONG) {
        return linkError;
    }
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    const int placeholder = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (placeholder < 0) return errno;
    ::close(placeholder);
    if (::rename(from.c_str(), to.c_str()) != 0) {
        const int error = errno;
        ::unlink(to.c_str());
        return error;
    }
    return 0;
}

}  // namespace

bool IsPendingOutputName(std::string_view name) {
    if (name.size() != kPrefix.size() + kHexDigits + kSuffix.size()) return false;
    if (!name.starts_with(kPrefix) || !name.ends_with(kSuffix)) return false;
    for (char c : name.substr(kPrefix.size(), kHexDigits)) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return true;
}

Result<PendingOutput> PendingOutput::Create(const fs::path& folder) {
    constexpr int kAttempts = 16;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        fs::path path = folder / (std::string(kPrefix) + RandomHex() + std::string(kSuffix));
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return FileError("cannot create an output file in", folder, errno);
        }
        // Only a crashed run's files are unlocked; RemoveLeftoverOutputs relies on it.
        while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
        }
        return PendingOutput(folder, std::move(path), fd);
    }
    return Error{"no free temporary name for an output in " + folder.string()};
}

PendingOutput::PendingOutput(PendingOutput&& other) noexcept
    : m_folder(std::move(other.m_folder)), m_path(std::move(other.m_path)), m_fd(other.m_fd) {
    other.m_fd = -1;
    other.m_path.clear();
}

PendingOutput::~PendingOutput() {
    if (m_fd < 0) return;
    // Removed only while the name is still this file.
    struct stat byName {};
    struct stat byFd {};
    if (::stat(m_path.c_str(), &byName) == 0 && ::fstat(m_fd, &byFd) == 0 &&
        SameFile(byName, byFd)) {
        ::unlink(m_path.c_str());
    }
    Release();
}

void PendingOutput::Release() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

Result<std::uint64_t> PendingOutput::Write(std::span<const std::uint8_t> bytes) {
    if (::ftruncate(m_fd, 0) != 0 || ::lseek(m_fd, 0, SEEK_SET) != 0) {
        return FileError("cannot write", m_path, errno);
    }
    if (const int error = WriteAll(m_fd, bytes.data(), bytes.size()); error != 0) {
        return FileError("cannot write", m_path, error);
    }
    return static_cast<std::uint64_t>(bytes.size());
}

Result<std::uint64_t> PendingOutput::CopyFrom(const fs::path& source) {
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return FileError("cannot read", source, errno);
    if (::ftruncate(m_fd, 0) != 0 || ::lseek(m_fd, 0, SEEK_SET) != 0) {
        const int error = errno;
        ::close(in);
        return FileError("cannot write", m_path, error);
    }
    std::uint64_t copied = 0;
    int error = 0;
    bool plain = false;  // sendfile refused: copy through a buffer
    std::array<char, 1 << 16> buffer;
    for (;;) {
        ssize_t n = 0;
        if (!plain) {
            n = ::sendfile(m_fd, in, nullptr, 1 << 20);
            if (n < 0 && (errno == EINVAL || errno == ENOSYS) && copied == 0) {
                plain = true;
                continue;
            }
        } else {
            n = ::read(in, buffer.data(), buffer.size());
            if (n > 0) {
                if (const int written = WriteAll(m_fd, buffer.data(), static_cast<std::size_t>(n));
                    written != 0) {
                    error = written;
                    break;
                }
            }
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = errno;
            break;
        }
        if (n == 0) break;
        copied += static_cast<std::uint64_t>(n);
    }
    ::close(in);
    if (error != 0) return FileError("cannot copy " + source.string() + " to", m_path, error);
    return copied;
}

Result<std::uint64_t> PendingOutput::Size() const {
    struct stat info {};
    if (::fstat(m_fd, &info) != 0) return FileError("cannot read", m_path, errno);
    return static_cast<std::uint64_t>(info.st_size);
}

void PendingOutput::TakeModificationTime(const fs::path& source) {
    struct stat info {};
    if (::stat(source.c_str(), &info) != 0) return;
    const std::array<timespec, 2> times = {info.st_atim, info.st_mtim};
    ::futimens(m_fd, times.data());
}

Result<fs::path> PendingOutput::Commit(std::string_view base, std::string_view extension) {
    if (m_fd < 0) return Error{"the output was already moved into place"};
    // A power cut after the link must not leave a name over data never written.
    if (::fsync(m_fd) != 0) return FileError("cannot write", m_path, errno);
    const std::string dotExtension = extension.empty() ? "" : "." + std::string(extension);
    for (int number = 1; number <= kMaxNumber; ++number) {
        std::string name(base);
        if (number > 1) name += "(" + std::to_string(number) + ")";
        name += dotExtension;
        fs::path candidate = m_folder / name;
        // lstat first: a dangling link or anything else makes the name taken
        // without asking the file system to move onto it.
        struct stat existing {};
        if (::lstat(candidate.c_str(), &existing) == 0) continue;
        const int error = MoveNoReplace(m_path, candidate);
        if (error == EEXIST) continue;
        if (error != 0) return FileError("cannot create the output file", candidate, error);
        Release();
        m_path.clear();
        return candidate;
    }
    return Error{"no free output name for " +
                 (m_folder / (std::string(base) + dotExtension)).string()};
}

int RemoveLeftoverOutputs(const fs::path& folder) {
    int removed = 0;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const fs::path path = it->path();
        if (!IsPendingOutputName(path.filename().string())) continue;
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat byFd {};
        struct stat byName {};
        const bool regular = ::fstat(fd, &byFd) == 0 && S_ISREG(byFd.st_mode);
        const bool free = regular && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        const bool settled =
            byFd.st_size > 0 || std::time(nullptr) - byFd.st_mtim.tv_sec >= kEmptyGraceSeconds;
        if (free && settled && ::lstat(path.c_str(), &byName) == 0 && SameFile(byName, byFd) &&
            ::unlink(path.c_str()) == 0) {
            ++removed;
        }
        ::close(fd);
    }
    return removed;
}

}  // namespace brisklo
