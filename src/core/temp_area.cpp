// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/temp_area.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <mutex>
#include <string>
#include <system_error>

#include "core/file_utils.h"
#include "core/log.h"

namespace brisklo {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kLockName = ".lock";

std::mutex g_nameMutex;
std::string g_runName = "run";

// The run's folder and its held lock; the folder goes when the program ends.
class RunFolder {
  public:
    RunFolder() {
        std::string name;
        {
            std::lock_guard lock(g_nameMutex);
            name = g_runName;
        }
        const fs::path root = TemporaryRoot();
        for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
            fs::path candidate =
                root / (name + "-" + std::to_string(::getpid()) + "-" + std::to_string(attempt));
            std::error_code error;
            if (!fs::create_directory(candidate, error)) {
                if (error) break;  // cannot create anything here
                continue;          // a folder of a run that had our pid before
            }
            m_lockFd = ::open((candidate / kLockName).c_str(),
                              O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
            if (m_lockFd >= 0 && ::flock(m_lockFd, LOCK_EX | LOCK_NB) == 0) {
                m_path = std::move(candidate);
            } else {
                if (m_lockFd >= 0) ::close(m_lockFd);
                m_lockFd = -1;
                fs::remove_all(candidate, error);
            }
        }
        if (m_path.empty()) LogLine("cannot create a temporary folder in %s\n", root.c_str());
    }
    ~RunFolder() {
        if (m_path.empty()) return;
        std::error_code error;
        fs::remove_all(m_path, error);
        ::close(m_lockFd);
    }
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;
    const fs::path& path() const { return m_path; }

  private:
    fs::path m_path;
    int m_lockFd = -1;
};

// True when the run that made folder still holds its lock, or when the folder
// has no lock and so is no run's (when unsure, leave it).
bool RunStillLives(const fs::path& folder) {
    const int fd = ::open((folder / kLockName).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return true;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return held;
}

bool OlderThan(const fs::directory_entry& entry, std::chrono::seconds age) {
    std::error_code error;
    const auto written = entry.last_write_time(error);
    return !error && fs::file_time_type::clock::now() - written > age;
}

bool IsRunFolderName(const std::string& name) {
    const auto dash = name.find('-');
    return dash != std::string::npos && dash > 0 && name.find('-', dash + 1) != std::string::npos;
}

bool IsLooseTemporaryName(const std::string& name) {
    return (name.starts_with("image-tmp-") && name.ends_with(".png")) ||
           name.starts_with("magick-");
}

}  // namespace

void SetRunName(std::string_view name) {
    std::lock_guard lock(g_nameMutex);
    g_runName = name;
}

fs::path TemporaryRoot() { return GetAppDataPath(fs::path("Brisklo") / "Temp"); }

const fs::path& RunTemporaryFolder() {
    static const RunFolder folder;
    return folder.path();
}

LeftoverCount CleanLeftovers(const fs::path& tempRoot, const fs::path& settingsFile,
                             std::chrono::seconds minAge) {
    LeftoverCount count;
    std::error_code error;
    for (fs::directory_iterator it(tempRoot, error), end; !error && it != end;
         it.increment(error)) {
        const fs::directory_entry& entry = *it;
        const std::string name = entry.path().filename().string();
        std::error_code typeError;
        if (entry.is_symlink(typeError)) continue;  // never follow a link out of our folder
        if (entry.is_directory(typeError)) {
            if (IsRunFolderName(name) && !RunStillLives(entry.path())) {
                std::error_code removeError;
                if (fs::remove_all(entry.path(), removeError) > 0 && !removeError) ++count.folders;
            }
        } else if (entry.is_regular_file(typeError) && IsLooseTemporaryName(name) &&
                   OlderThan(entry, minAge)) {
            std::error_code removeError;
            if (fs::remove(entry.path(), removeError)) ++count.files;
        }
    }

    if (settingsFile.empty()) return count;
    const std::string prefix = settingsFile.filename().string() + ".";
    error.clear();
    for (fs::directory_iterator it(settingsFile.parent_path(), error), end; !error && it != end;
         it.increment(error)) {
        const fs::directory_entry& entry = *it;
        const std::string name = entry.path().filename().string();
        // mkstemp's copies: the name, a dot and six characters; never the lock.
        if (!name.starts_with(prefix) || name.size() != prefix.size() + 6) continue;
        std::error_code typeError;
        if (!entry.is_regular_file(typeError) || entry.is_symlink(typeError)) continue;
        if (!OlderThan(entry, minAge)) continue;
        std::error_code removeError;
        if (fs::remove(entry.path(), removeError)) ++count.files;
    }
    return count;
}

}  // namespace brisklo
