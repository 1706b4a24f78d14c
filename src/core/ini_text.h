// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace brisklo {

// Profile-file text as the Windows profile functions treat it: section and key
// names compare without regard to case, blanks around "=" and around names are
// ignored, a UTF-8 byte-order mark and CR line ends are accepted, lines that are
// neither a section nor a key are kept but never matched, and the first match wins.

// The value of key in section, or none when the section or key is missing.
std::optional<std::string> FindIniValue(std::string_view text, std::string_view section,
                                        std::string_view key);

// Every key line of the first section with this name, in file order (the first
// of two equal keys is the one that counts), or none when the section is missing.
std::optional<std::vector<std::pair<std::string, std::string>>> IniSectionEntries(
    std::string_view text, std::string_view section);

// True when two section or key names are the same to the profile rules.
bool SameIniName(std::string_view a, std::string_view b);

// The text with key in section set to value: the key's line is replaced in place,
// or added at the end of the section, or the section is added at the end. Every
// other line stays as it was.
std::string SetIniValue(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value);

}  // namespace brisklo
