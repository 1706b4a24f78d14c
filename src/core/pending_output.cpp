// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pending_output.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <optional>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "core/file_utils.h"
#include "core/unique_fd.h"

namespace brisklo {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kPrefix = ".brisklo-";
constexpr std::string_view kSuffix = ".part";
constexpr std::string_view kRecordSuffix = ".name";
// PlaceAt's own outcomes besides an errno value.
constexpr int kHiddenNameLost = -1;
constexpr int kStoppedAtFaultPoint = -2;
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

std::atomic<bool> g_noHardLinks{false};
std::atomic<bool> g_stopAfterPlaceholder{false};

// The file a descriptor holds, as a path that opens or links that very file
// whatever has since become of its name.
std::string HeldPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

bool NoHardLinks(int error) {
    return error == EPERM || error == EOPNOTSUPP || error == ENOSYS || error == EMLINK ||
           error == EXDEV;
}

// The side record of a hidden file: ".brisklo-<hex>.name" beside ".brisklo-<hex>.part".
fs::path RecordPathOf(const fs::path& hidden) {
    fs::path record = hidden;
    record.replace_extension(kRecordSuffix);
    return record;
}

bool IsRecordName(std::string_view name) {
    if (!name.ends_with(kRecordSuffix)) return false;
    std::string part(name.substr(0, name.size() - kRecordSuffix.size()));
    return IsPendingOutputName(part + std::string(kSuffix));
}

// A plain name in the folder that a record may point at: no separator, not "." or
// "..", not one of our hidden names.
bool IsPlainName(std::string_view name) {
    return !name.empty() && name.size() < 4096 && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos && name != "." && name != ".." &&
           !IsPendingOutputName(name) && !IsRecordName(name);
}

// What a record says, or nothing when it is not a readable record of ours.
std::optional<std::string> ReadRecord(const fs::path& record) {
    const UniqueFd fd(::open(record.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) return std::nullopt;
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > 4096) {
        return std::nullopt;
    }
    std::string text(static_cast<std::size_t>(info.st_size), '\0');
    if (::read(fd.get(), text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
        return std::nullopt;
    }
    if (!IsPlainName(text)) return std::nullopt;
    return text;
}

}  // namespace

void SetCommitFaultsForTesting(CommitFaults faults) {
    g_noHardLinks = faults.noHardLinks;
    g_stopAfterPlaceholder = faults.stopAfterPlaceholder;
}

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

bool PendingOutput::NameHoldsOurFile() const {
    struct stat byName {};
    struct stat byFd {};
    return ::lstat(m_path.c_str(), &byName) == 0 && S_ISREG(byName.st_mode) &&
           ::fstat(m_fd, &byFd) == 0 && SameFile(byName, byFd);
}

void PendingOutput::RemoveOwnName() {
    if (NameHoldsOurFile()) ::unlink(m_path.c_str());
}

int PendingOutput::PlaceAt(const fs::path& to) {
    // The held file itself goes under the new name, never what the hidden name
    // may have been turned into meanwhile (another user's link in a shared folder).
    if (!g_noHardLinks) {
        if (::linkat(AT_FDCWD, HeldPath(m_fd).c_str(), AT_FDCWD, to.c_str(), AT_SYMLINK_FOLLOW) ==
            0) {
            RemoveOwnName();
            return 0;
        }
        const int error = errno;
        struct stat byFd {};
        if (error == ENOENT && ::fstat(m_fd, &byFd) == 0 && byFd.st_nlink == 0) {
            return kHiddenNameLost;
        }
        if (!NoHardLinks(error) && error != ENOENT) return error;
    }
    // No hard links here (or no /proc): the hidden name is moved, once it is
    // known to still be the file we hold.
    if (!NameHoldsOurFile()) return kHiddenNameLost;
    if (!g_noHardLinks) {
        if (::renameat2(AT_FDCWD, m_path.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
            return 0;
        }
        if (errno != EINVAL && errno != ENOSYS) return errno;
    }
    return PlaceOverPlaceholder(to);
}

int PendingOutput::PlaceOverPlaceholder(const fs::path& to) {
    // The last resort takes a name with an empty placeholder and renames the hidden
    // file over it. A record beside the hidden file says which name, so that a start
    // after a crash in between completes the rename instead of leaving an empty
    // file under the final name (RemoveLeftoverOutputs).
    const fs::path record = RecordPathOf(m_path);
    {
        const UniqueFd fd(
            ::open(record.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
        if (!fd.valid()) return errno;
        const std::string name = to.filename().string();
        if (const int error = WriteAll(fd.get(), name.data(), name.size());
            error != 0 || ::fsync(fd.get()) != 0) {
            ::unlink(record.c_str());
            return error != 0 ? error : EIO;
        }
    }
    const int placeholder = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (placeholder < 0) {
        const int error = errno;
        ::unlink(record.c_str());
        return error;
    }
    ::close(placeholder);
    if (g_stopAfterPlaceholder) {
        // As if the program were killed here: the lock goes, the files stay.
        Release();
        m_path.clear();
        return kStoppedAtFaultPoint;
    }
    if (!NameHoldsOurFile() || ::rename(m_path.c_str(), to.c_str()) != 0) {
        const int error = NameHoldsOurFile() ? errno : kHiddenNameLost;
        ::unlink(to.c_str());
        ::unlink(record.c_str());
        return error;
    }
    ::unlink(record.c_str());
    return 0;
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
        const int error = PlaceAt(candidate);
        if (error == EEXIST) continue;
        if (error == kHiddenNameLost) {
            return Error{"the hidden output file " + m_path.string() +
                         " was removed or replaced while it was written; the output is not kept"};
        }
        if (error == kStoppedAtFaultPoint) return Error{"stopped between placeholder and rename"};
        if (error != 0) return FileError("cannot create the output file", candidate, error);
        Release();
        m_path.clear();
        return candidate;
    }
    return Error{"no free output name for " +
                 (m_folder / (std::string(base) + dotExtension)).string()};
}

namespace {

// A free, settled hidden file whose record names an empty placeholder: the run
// stopped between making the placeholder and renaming its data over it. The data
// is complete (it was flushed before), so the rename is finished.
bool CompleteInterruptedCommit(const fs::path& folder, const fs::path& hidden) {
    const auto name = ReadRecord(RecordPathOf(hidden));
    if (!name) return false;
    const fs::path target = folder / *name;
    struct stat placeholder {};
    if (::lstat(target.c_str(), &placeholder) != 0 || !S_ISREG(placeholder.st_mode) ||
        placeholder.st_size != 0) {
        return false;
    }
    return ::rename(hidden.c_str(), target.c_str()) == 0;
}

}  // namespace

int RemoveLeftoverOutputs(const fs::path& folder) {
    int removed = 0;
    std::error_code error;
    std::vector<fs::path> records;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const fs::path path = it->path();
        const std::string name = path.filename().string();
        if (IsRecordName(name)) records.push_back(path);
        if (!IsPendingOutputName(name)) continue;
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat byFd {};
        struct stat byName {};
        const bool regular = ::fstat(fd, &byFd) == 0 && S_ISREG(byFd.st_mode);
        const bool free = regular && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        const bool settled =
            byFd.st_size > 0 || std::time(nullptr) - byFd.st_mtim.tv_sec >= kEmptyGraceSeconds;
        if (free && settled && ::lstat(path.c_str(), &byName) == 0 && SameFile(byName, byFd)) {
            if (CompleteInterruptedCommit(folder, path) || ::unlink(path.c_str()) == 0) ++removed;
        }
        ::close(fd);
    }
    // A record outlives its hidden file only when a run stopped right after the
    // rename, or the hidden file was just dealt with above.
    for (const fs::path& record : records) {
        struct stat info {};
        if (::lstat(record.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
        fs::path hidden = record;
        hidden.replace_extension(kSuffix);
        struct stat partInfo {};
        if (::lstat(hidden.c_str(), &partInfo) != 0 && errno == ENOENT) ::unlink(record.c_str());
    }
    return removed;
}

}  // namespace brisklo
