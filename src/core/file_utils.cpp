// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/file_utils.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <system_error>

#include "core/log.h"
#include "core/text_utils.h"

namespace brisklo {
namespace fs = std::filesystem;

namespace {

fs::path HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return entry->pw_dir;
    return {};
}

fs::path EnvFolder(const char* name) {
    const char* value = std::getenv(name);
    // The XDG base-directory rules ignore relative values.
    if (value && *value == '/') return value;
    return {};
}

// A folder's key in user-dirs.dirs and its name under the home folder when the
// file does not give it.
struct UserFolderNames {
    std::string_view xdgKey;
    std::string_view fallback;
};

UserFolderNames NamesOf(SpecialFolder folder) {
    switch (folder) {
        case SpecialFolder::Documents:
            return {"XDG_DOCUMENTS_DIR", "Documents"};
        case SpecialFolder::Desktop:
            return {"XDG_DESKTOP_DIR", "Desktop"};
        case SpecialFolder::Downloads:
            return {"XDG_DOWNLOAD_DIR", "Downloads"};
        case SpecialFolder::Home:
            break;
    }
    return {};
}

// Reads one entry of user-dirs.dirs: KEY="$HOME/Name" or KEY="/absolute/path".
fs::path ReadUserDir(std::string_view key, const fs::path& home) {
    fs::path configHome = EnvFolder("XDG_CONFIG_HOME");
    if (configHome.empty()) configHome = home / ".config";
    std::ifstream in(configHome / "user-dirs.dirs");
    std::string line;
    while (std::getline(in, line)) {
        std::string_view text(line);
        while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
            text.remove_prefix(1);
        if (!text.starts_with(key)) continue;
        text.remove_prefix(key.size());
        if (text.empty() || text.front() != '=') continue;
        text.remove_prefix(1);
        if (text.size() < 2 || text.front() != '"') continue;
        const auto close = text.find('"', 1);
        if (close == std::string_view::npos) continue;
        std::string_view value = text.substr(1, close - 1);
        fs::path result;
        if (value.starts_with("$HOME")) {
            value.remove_prefix(5);
            while (value.starts_with('/')) value.remove_prefix(1);
            // "$HOME/" alone means the folder is switched off.
            if (value.empty()) return {};
            result = home / std::string(value);
        } else if (value.starts_with('/')) {
            result = std::string(value);
        }
        return result;
    }
    return {};
}

}  // namespace

std::string FormatFileSize(std::int64_t bytes) {
    if (bytes < 1024) return FormatText("%dB", static_cast<std::int32_t>(bytes));
    if (bytes < 1048576) return FormatText("%dKB", static_cast<std::int32_t>(bytes / 1024));
    if (bytes < 1073741824) {
        const float megabytes = static_cast<float>(bytes) * (1.0f / 1048576.0f);
        return FormatText("%.2fM", static_cast<double>(megabytes));
    }
    const float gigabytes = static_cast<float>(bytes) * (1.0f / 1073741824.0f);
    return FormatText("%.2fG", static_cast<double>(gigabytes));
}

bool FileExists(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat info {};
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    ::close(fd);
    return regular;
}

fs::path CreateDirectoryTree(const fs::path& path) {
    if (path.empty()) return path;
    std::error_code error;
    if (fs::is_directory(path, error)) return path;
    // Walk the levels one by one so the message names the level that failed.
    fs::path current;
    for (const auto& part : path) {
        current /= part;
        if (fs::is_directory(current, error)) continue;
        if (!fs::create_directory(current, error) && !fs::is_directory(current)) {
            LogLine("create dir error fullPath: %s (%s)\n", current.c_str(),
                    error.message().c_str());
            return path;
        }
    }
    return path;
}

fs::path OutputFolderFor(const fs::path& base, const fs::path& subfolder) {
    if (subfolder.empty() || subfolder.is_absolute() || subfolder.has_root_name()) return base;
    for (const fs::path& part : subfolder) {
        if (part == "..") return base;
    }
    return CreateDirectoryTree(base / subfolder);
}

fs::path DataHome() {
    fs::path dataHome = EnvFolder("XDG_DATA_HOME");
    if (dataHome.empty()) dataHome = HomeFolder() / ".local" / "share";
    return dataHome;
}

fs::path DesktopLogFile() { return DataHome() / "Brisklo" / "Log" / "brisklo.log"; }

fs::path GetAppDataPath(const fs::path& relative) {
    return CreateDirectoryTree(DataHome() / relative);
}

fs::path GetSpecialFolder(SpecialFolder folder) {
    const fs::path home = HomeFolder();
    if (folder == SpecialFolder::Home || home.empty()) return home;
    const UserFolderNames names = NamesOf(folder);
    if (fs::path fromUserDirs = ReadUserDir(names.xdgKey, home); !fromUserDirs.empty()) {
        return fromUserDirs;
    }
    return home / std::string(names.fallback);
}

int WriteAll(int fd, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, bytes, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

fs::path ExecutableFolder() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path{} : self.parent_path();
}

}  // namespace brisklo
