// SPDX-License-Identifier: GPL-3.0-or-later
// Whatever the settings file holds, a value written reads back as written, the
// other keys keep their values, and a section's entries agree with single reads.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/ini_text.h"

namespace {

// A name the profile rules can hold: no line break, '=' or brackets, no blanks at
// either end, not empty.
bool UsableName(std::string_view name) {
    if (name.empty() || name.find_first_of("\r\n=[]\"") != std::string_view::npos) return false;
    return name.front() > ' ' && name.back() > ' ';
}

// A value that reads back unchanged: no line break, no blanks at either end, not
// wrapped in quotes.
bool UsableValue(std::string_view value) {
    if (value.find_first_of("\r\n") != std::string_view::npos) return false;
    if (!value.empty() && (value.front() <= ' ' || value.back() <= ' ')) return false;
    return !(value.size() >= 2 && value.front() == '"' && value.back() == '"');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Input: section \0 key \0 value \0 file text.
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    const auto a = all.find('\0');
    if (a == std::string_view::npos) return 0;
    const auto b = all.find('\0', a + 1);
    if (b == std::string_view::npos) return 0;
    const auto c = all.find('\0', b + 1);
    if (c == std::string_view::npos) return 0;
    const std::string_view section = all.substr(0, a);
    const std::string_view key = all.substr(a + 1, b - a - 1);
    const std::string_view value = all.substr(b + 1, c - b - 1);
    const std::string_view text = all.substr(c + 1);

    // Reading never fails on any text, and the entries agree with single reads.
    if (const auto entries = brisklo::IniSectionEntries(text, section)) {
        for (const auto& [name, stored] : *entries) {
            const auto found = brisklo::FindIniValue(text, section, name);
            if (!found) std::abort();
            // The first of equal names counts.
            for (const auto& [other, otherValue] : *entries) {
                if (brisklo::SameIniName(other, name)) {
                    if (*found != otherValue) std::abort();
                    break;
                }
            }
        }
    }
    if (!UsableName(section) || !UsableName(key) || !UsableValue(value)) return 0;
    if (section.find('\0') != std::string_view::npos) return 0;

    const std::string written = brisklo::SetIniValue(text, section, key, value);
    const auto back = brisklo::FindIniValue(written, section, key);
    if (!back || *back != value) std::abort();
    // Every other key of the section keeps the value it read as before.
    if (const auto before = brisklo::IniSectionEntries(text, section)) {
        for (const auto& [name, stored] : *before) {
            if (brisklo::SameIniName(name, key)) continue;
            if (brisklo::FindIniValue(written, section, name) !=
                brisklo::FindIniValue(text, section, name)) {
                std::abort();
            }
        }
    }
    return 0;
}
