// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/config_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "core/file_utils.h"
#include "core/ini_text.h"
#include "core/log.h"
#include "core/text_utils.h"
#include "core/unique_fd.h"

namespace brisklo {
namespace fs = std::filesystem;

namespace {

// Holds an exclusive lock on a file descriptor for the life of the object.
class FileLock {
  public:
    explicit FileLock(const fs::path& path)
        : m_fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {
        if (m_fd.valid()) {
            while (::flock(m_fd.get(), LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
    bool held() const { return m_fd.valid(); }

  private:
    UniqueFd m_fd;  // closing releases the lock
};

}  // namespace

ConfigStore& ConfigStore::Instance() {
    // Thread-safe creation is the language's: one store per process.
    static ConfigStore store(GetAppDataPath(fs::path("Brisklo") / "Config") / "configure.ini");
    return store;
}

ConfigStore::ConfigStore(fs::path file) : m_file(std::move(file)) {}

ConfigStore::FileCheck ConfigStore::ReadText(std::string& text) const {
    text.clear();
    // Non-blocking, so that a FIFO in the file's place cannot hang the open.
    const int fd = ::open(m_file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return errno == ENOENT ? FileCheck::Missing : FileCheck::Unusable;
    FileCheck check = FileCheck::Usable;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        check = FileCheck::NotRegular;
    } else if (static_cast<std::uint64_t>(info.st_size) > kMaxSettingsFileBytes) {
        check = FileCheck::TooLarge;
    } else {
        // At most one byte more than allowed, in case the file grew since fstat.
        text.resize(static_cast<std::size_t>(info.st_size) + 1);
        std::size_t done = 0;
        while (done < text.size()) {
            const ssize_t n = ::read(fd, text.data() + done, text.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        text.resize(done);
        if (done > kMaxSettingsFileBytes) check = FileCheck::TooLarge;
    }
    ::close(fd);
    if (check == FileCheck::NotRegular || check == FileCheck::TooLarge) {
        text.clear();
        WarnOnce(check);
    }
    return check;
}

void ConfigStore::WarnOnce(FileCheck check) const {
    if (m_warned.exchange(true)) return;
    const char* why =
        check == FileCheck::TooLarge ? "is larger than 1 MiB" : "is not a regular file";
    // Standard error as well as the log: the command line keeps its log quiet.
    std::fprintf(stderr, "brisklo: the settings file %s %s; using the default settings\n",
                 m_file.c_str(), why);
    LogLine("the settings file %s %s; using the default settings\n", m_file.c_str(), why);
}

std::unique_ptr<const SettingsSource> ConfigStore::Snapshot() const {
    std::string text;
    ReadText(text);
    return std::make_unique<SettingsSnapshot>(text);
}

std::int32_t ConfigStore::GetInt(std::string_view section, std::string_view key,
                                 std::int32_t defaultValue) const {
    std::string text;
    ReadText(text);
    const auto value = FindIniValue(text, section, key);
    if (!value) return defaultValue;
    return static_cast<std::int32_t>(LeadingInteger(*value));
}

std::string ConfigStore::GetString(std::string_view section, std::string_view key,
                                   std::string_view defaultValue) const {
    std::string text;
    ReadText(text);
    auto value = FindIniValue(text, section, key);
    return value ? std::move(*value) : std::string(defaultValue);
}

bool ConfigStore::WriteString(std::string_view section, std::string_view key,
                              std::string_view value) {
    // A line break would split the entry and corrupt the lines after it.
    if (value.find_first_of("\r\n") != std::string_view::npos) return false;

    std::lock_guard threadLock(m_writeMutex);
    CreateDirectoryTree(m_file.parent_path());
    FileLock processLock(fs::path(m_file).concat(".lock"));
    if (!processLock.held()) return false;

    std::string text;
    if (const FileCheck check = ReadText(text);
        check != FileCheck::Usable && check != FileCheck::Missing) {
        // Never replace a special file (or a link to one), nor a file we could not read
        // whole: its other values would be lost.
        LogLine("not writing the settings file %s: it cannot be read as settings\n",
                m_file.c_str());
        return false;
    }
    const std::string updated = SetIniValue(text, section, key, value);
    std::string temporary = fs::path(m_file).concat(".XXXXXX").string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return false;
    const bool written = WriteAll(fd, updated.data(), updated.size()) == 0 && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temporary.c_str(), m_file.c_str()) != 0) {
        ::unlink(temporary.c_str());
        LogLine("cannot write settings file %s\n", m_file.c_str());
        return false;
    }
    return true;
}

std::int32_t ConfigStore::Get(Setting setting) const {
    const SettingInfo& info = Describe(setting);
    return GetInt(kSettingsSection, info.key, info.defaultInt);
}

std::string ConfigStore::GetText(Setting setting) const {
    const SettingInfo& info = Describe(setting);
    return GetString(kSettingsSection, info.key, info.defaultText);
}

bool ConfigStore::Set(Setting setting, std::int32_t value) {
    return WriteString(kSettingsSection, Describe(setting).key, std::to_string(value));
}

bool ConfigStore::Set(Setting setting, std::string_view value) {
    return WriteString(kSettingsSection, Describe(setting).key, value);
}

}  // namespace brisklo
