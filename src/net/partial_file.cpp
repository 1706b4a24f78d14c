// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/partial_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>
#include <utility>

namespace brisklo {
namespace fs = std::filesystem;

Result<PartialFile> PartialFile::Create(const fs::path& folder, std::string_view finalName) {
    std::string pattern = (folder / ("." + std::string(finalName) + ".part-XXXXXX")).string();
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) {
        return Error{"cannot create a file in " + folder.string() + ": " + std::strerror(errno)};
    }
    // An installer is read by whatever the desktop hands it to, not only by us.
    ::fchmod(fd, 0644);
    return PartialFile(fd, fs::path(pattern), folder / std::string(finalName));
}

PartialFile::PartialFile(int fd, fs::path partialPath, fs::path finalPath)
    : m_fd(fd), m_partialPath(std::move(partialPath)), m_finalPath(std::move(finalPath)) {}

PartialFile::PartialFile(PartialFile&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)),
      m_committed(std::exchange(other.m_committed, true)),
      m_partialPath(std::move(other.m_partialPath)),
      m_finalPath(std::move(other.m_finalPath)) {}

PartialFile::~PartialFile() {
    if (!m_committed) Discard();
}

bool PartialFile::Write(std::string_view data) {
    if (m_fd < 0) return false;
    while (!data.empty()) {
        const ssize_t written = ::write(m_fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

Result<fs::path> PartialFile::Commit() {
    if (m_fd < 0) return Error{"the download file is already closed"};
    const int fd = std::exchange(m_fd, -1);
    // close reports write errors a file system may have held back.
    if (::close(fd) != 0) {
        const std::string why = std::strerror(errno);
        Discard();
        return Error{"cannot finish writing " + m_finalPath.string() + ": " + why};
    }
    std::error_code error;
    fs::rename(m_partialPath, m_finalPath, error);
    if (error) {
        Discard();
        return Error{"cannot save " + m_finalPath.string() + ": " + error.message()};
    }
    m_committed = true;
    return m_finalPath;
}

void PartialFile::Discard() {
    if (m_fd >= 0) ::close(std::exchange(m_fd, -1));
    if (!m_partialPath.empty()) {
        std::error_code error;
        fs::remove(m_partialPath, error);
    }
    m_committed = true;  // nothing left to clean up
}

}  // namespace brisklo
