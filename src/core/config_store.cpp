#include "core/config_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

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

std::string ConfigStore::ReadText() const {
    std::ifstream in(m_file, std::ios::binary);
    if (!in) return {};
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::int32_t ConfigStore::GetInt(std::string_view section, std::string_view key,
                                 std::int32_t defaultValue) const {
    const auto value = FindIniValue(ReadText(), section, key);
    if (!value) return defaultValue;
    return static_cast<std::int32_t>(LeadingInteger(*value));
}

std::string ConfigStore::GetString(std::string_view section, std::string_view key,
                                   std::string_view defaultValue) const {
    auto value = FindIniValue(ReadText(), section, key);
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

    const std::string updated = SetIniValue(ReadText(), section, key, value);
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
