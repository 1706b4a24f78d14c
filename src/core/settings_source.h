#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <variant>

#include "core/settings.h"

namespace brisklo {

// Where the engine reads settings from: the settings file, or the file with
// values of one command-line run laid over it.
class SettingsSource {
  public:
    virtual ~SettingsSource() = default;
    virtual std::int32_t Get(Setting setting) const = 0;
    virtual std::string GetText(Setting setting) const = 0;

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

    void Override(Setting setting, std::int32_t value) { m_values[setting] = value; }
    void Override(Setting setting, std::string value) { m_values[setting] = std::move(value); }

    std::int32_t Get(Setting setting) const override;
    std::string GetText(Setting setting) const override;

  private:
    const SettingsSource& m_base;
    std::map<Setting, std::variant<std::int32_t, std::string>> m_values;
};

}  // namespace brisklo
