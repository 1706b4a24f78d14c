// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace brisklo {

enum class SpecialFolder { Home, Documents, Desktop, Downloads };

// Size text of the rows: "512B", "80KB", "3.25M", "1.20G".
std::string FormatFileSize(std::int64_t bytes);

// True when path names a regular file that can be opened for reading.
bool FileExists(const std::filesystem::path& path);

// Creates every missing folder of path; failures are logged, never thrown.
// Returns path unchanged.
std::filesystem::path CreateDirectoryTree(const std::filesystem::path& path);

// The folder under base that mirrors a source's sub-folder ("2024/trips" of a
// folder added with its sub-folders), created. base itself when subfolder is
// empty or could lead out of base (absolute, or with "..").
std::filesystem::path OutputFolderFor(const std::filesystem::path& base,
                                      const std::filesystem::path& subfolder);

// The user's data folder ($XDG_DATA_HOME, else ~/.local/share).
std::filesystem::path DataHome();

// The desktop program's log file: DataHome()/Brisklo/Log/brisklo.log (not created).
std::filesystem::path DesktopLogFile();

// DataHome()/relative, with every missing folder on it created.
std::filesystem::path GetAppDataPath(const std::filesystem::path& relative);

// The folder's path from the XDG user dirs, else the usual name under the home
// folder; not created. Empty only when no home folder is known.
std::filesystem::path GetSpecialFolder(SpecialFolder folder);

// Writes all of data to fd, going on after interruptions and partial writes.
// Returns 0, or the errno of the write that failed.
[[nodiscard]] int WriteAll(int fd, const void* data, std::size_t size);

// The folder holding the running executable.
std::filesystem::path ExecutableFolder();

}  // namespace brisklo
