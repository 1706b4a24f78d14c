// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "core/settings.h"
#include "core/settings_source.h"

namespace brisklo {

// Largest settings file read; the real one is a few hundred bytes.
inline constexpr std::uint64_t kMaxSettingsFileBytes = 1u << 20;

// The settings file. It is read only when it is a regular file (or a link to one)
// of at most kMaxSettingsFileBytes; otherwise the defaults apply, one warning goes
// to standard error and the log, and writes are refused. Nothing is cached: every read parses the
// file, so a value written by one window or thread is seen by the next reader. Every write replaces
// the file atomically (temporary file, flush, rename) while holding a lock that also excludes other
// processes, so two writers of different keys never lose each other's change and a crash never
// leaves a broken file.
class ConfigStore : public SettingsSource {
  public:
    // The process's store: "configure.ini" in "Brisklo/Config" under the data folder.
    static ConfigStore& Instance();
    explicit ConfigStore(std::filesystem::path file);

    const std::filesystem::path& path() const { return m_file; }

    // The stored integer; defaultValue when the file or key is missing, 0 when
    // the stored text is not a number.
    std::int32_t GetInt(std::string_view section, std::string_view key,
                        std::int32_t defaultValue) const;
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultValue) const;
    // False when the file cannot be written or the value holds a line break.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);

    // Typed access through the settings table.
    std::int32_t Get(Setting setting) const override;
    std::string GetText(Setting setting) const override;
    // The whole file read and parsed once.
    std::unique_ptr<const SettingsSource> Snapshot() const override;
    bool Set(Setting setting, std::int32_t value);
    bool Set(Setting setting, std::string_view value);

  private:
    enum class FileCheck { Usable, Missing, NotRegular, TooLarge, Unusable };
    // The file's text into text (empty when it is not usable) and what was found.
    FileCheck ReadText(std::string& text) const;
    void WarnOnce(FileCheck check) const;

    std::filesystem::path m_file;
    mutable std::atomic<bool> m_warned{false};
    mutable std::mutex m_writeMutex;
};

}  // namespace brisklo
