#include "core/settings_source.h"

#include <unistd.h>

#include "core/file_utils.h"

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

}  // namespace brisklo
