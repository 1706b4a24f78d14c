// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings_source.h"

#include <unistd.h>

#include "core/file_utils.h"
#include "core/ini_text.h"
#include "core/text_utils.h"

namespace brisklo {
namespace fs = std::filesystem;

fs::path SettingsSource::GetOutputFolder() const { return CreateDirectoryTree(OutputFolderPath()); }

fs::path SettingsSource::OutputFolderPath() const {
    if (const std::string chosen = GetText(Setting::OutputDir); !chosen.empty()) return chosen;
    fs::path base = GetSpecialFolder(SpecialFolder::Documents);
    if (base.empty() || ::access(base.c_str(), F_OK) != 0) {
        base = GetSpecialFolder(SpecialFolder::Desktop);
        if (base.empty() || ::access(base.c_str(), F_OK) != 0) {
            base = GetSpecialFolder(SpecialFolder::Home);
        }
    }
    return base / std::string(kDefaultOutputFolderName);
}

std::int32_t SettingsSource::GetValid(Setting setting) const {
    const SettingInfo& info = Describe(setting);
    const std::int32_t value = Get(setting);
    return value < info.minInt || value > info.maxInt ? info.defaultInt : value;
}

std::int32_t SettingsOverlay::Get(Setting setting) const {
    const auto it = m_values.find(setting);
    if (it != m_values.end()) {
        if (const auto* value = std::get_if<std::int32_t>(&it->second)) return *value;
    }
    return m_base.Get(setting);
}

std::string SettingsOverlay::GetText(Setting setting) const {
    const auto it = m_values.find(setting);
    if (it != m_values.end()) {
        if (const auto* value = std::get_if<std::string>(&it->second)) return *value;
    }
    return m_base.GetText(setting);
}

std::unique_ptr<const SettingsSource> SettingsOverlay::Snapshot() const {
    return std::make_unique<SettingsOverlay>(m_base.Snapshot(), m_values);
}

SettingsSnapshot::SettingsSnapshot(std::string_view text)
    : m_entries(IniSectionEntries(text, kSettingsSection).value_or(decltype(m_entries){})) {}

std::optional<std::string> SettingsSnapshot::Find(std::string_view key) const {
    for (const auto& [name, value] : m_entries) {
        if (SameIniName(name, key)) return value;
    }
    return std::nullopt;
}

std::int32_t SettingsSnapshot::Get(Setting setting) const {
    const SettingInfo& info = Describe(setting);
    const auto value = Find(info.key);
    return value ? static_cast<std::int32_t>(LeadingInteger(*value)) : info.defaultInt;
}

std::string SettingsSnapshot::GetText(Setting setting) const {
    const SettingInfo& info = Describe(setting);
    auto value = Find(info.key);
    return value ? std::move(*value) : std::string(info.defaultText);
}

std::unique_ptr<const SettingsSource> SettingsSnapshot::Snapshot() const {
    return std::make_unique<SettingsSnapshot>(*this);
}

}  // namespace brisklo
