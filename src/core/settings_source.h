// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/settings.h"

namespace brisklo {

// Where the engine reads settings from: the settings file, or the file with
// values of one command-line run laid over it.
class SettingsSource {
  public:
    virtual ~SettingsSource() = default;
    virtual std::int32_t Get(Setting setting) const = 0;
    virtual std::string GetText(Setting setting) const = 0;
    // The values of this moment, read once, for a caller about to read several:
    // later changes to the source do not show in it.
    virtual std::unique_ptr<const SettingsSource> Snapshot() const = 0;

    // The stored integer, or its default when it lies outside the setting's range.
    std::int32_t GetValid(Setting setting) const;

    // Where compressed files go: output-dir, else "BRK视频压缩" in the Documents
    // folder, else on the Desktop, else in the home folder. Created if missing.
    std::filesystem::path GetOutputFolder() const;
    // The same folder, without creating it.
    std::filesystem::path OutputFolderPath() const;
};

inline constexpr std::string_view kDefaultOutputFolderName = "BRK视频压缩";

// Values given for one run over a base source; nothing is written back.
class SettingsOverlay : public SettingsSource {
  public:
    explicit SettingsOverlay(const SettingsSource& base) : m_base(base) {}
    // An overlay over a snapshot it owns (what Snapshot gives).
    SettingsOverlay(std::unique_ptr<const SettingsSource> ownBase,
                    std::map<Setting, std::variant<std::int32_t, std::string>> values)
        : m_ownBase(std::move(ownBase)), m_base(*m_ownBase), m_values(std::move(values)) {}

    void Override(Setting setting, std::int32_t value) { m_values[setting] = value; }
    void Override(Setting setting, std::string value) { m_values[setting] = std::move(value); }

    std::int32_t Get(Setting setting) const override;
    std::string GetText(Setting setting) const override;
    std::unique_ptr<const SettingsSource> Snapshot() const override;

  private:
    std::unique_ptr<const SettingsSource> m_ownBase;
    const SettingsSource& m_base;
    std::map<Setting, std::variant<std::int32_t, std::string>> m_values;
};

}  // namespace brisklo

namespace brisklo {

// Values of the settings file as one read found them.
class SettingsSnapshot : public SettingsSource {
  public:
    // text: the whole settings file (empty for defaults).
    explicit SettingsSnapshot(std::string_view text);

    std::int32_t Get(Setting setting) const override;
    std::string GetText(Setting setting) const override;
    std::unique_ptr<const SettingsSource> Snapshot() const override;

  private:
    std::optional<std::string> Find(std::string_view key) const;

    std::vector<std::pair<std::string, std::string>> m_entries;
};

}  // namespace brisklo
