// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ini_text.h"

#include <vector>

#include "core/text_utils.h"

namespace brisklo {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// A line's blanks: a CRLF file leaves the CR at each line's end.
std::string_view TrimLine(std::string_view text) { return Trim(text, " \t\r"); }

struct Line {
    std::string_view raw;      // without its line end
    std::string_view section;  // set on a section header
    std::string_view key;      // set on a key line
    std::string_view value;
    bool isSection = false;
};

std::vector<Line> SplitLines(std::string_view text) {
    if (text.starts_with(kBom)) text.remove_prefix(kBom.size());
    std::vector<Line> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        Line line;
        line.raw = text.substr(0, end);
        if (!line.raw.empty() && line.raw.back() == '\r') line.raw.remove_suffix(1);
        const std::string_view trimmed = TrimLine(line.raw);
        if (trimmed.starts_with('[')) {
            const auto close = trimmed.find(']');
            line.isSection = true;
            line.section = TrimLine(trimmed.substr(
                1, close == std::string_view::npos ? trimmed.size() - 1 : close - 1));
        } else if (const auto eq = trimmed.find('='); eq != std::string_view::npos && eq > 0) {
            line.key = TrimLine(trimmed.substr(0, eq));
            line.value = TrimLine(trimmed.substr(eq + 1));
            // A value in matching quotes reads without them.
            if (line.value.size() >= 2 && line.value.front() == '"' && line.value.back() == '"') {
                line.value = line.value.substr(1, line.value.size() - 2);
            }
        }
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

// Index range [begin, end) of the first section with this name, or none.
std::optional<std::pair<std::size_t, std::size_t>> FindSection(const std::vector<Line>& lines,
                                                               std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!lines[i].isSection || !EqualsIgnoringCase(lines[i].section, section)) continue;
        std::size_t end = i + 1;
        while (end < lines.size() && !lines[end].isSection) ++end;
        return std::pair{i + 1, end};
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> FindIniValue(std::string_view text, std::string_view section,
                                        std::string_view key) {
    const auto lines = SplitLines(text);
    const auto range = FindSection(lines, section);
    if (!range) return std::nullopt;
    for (std::size_t i = range->first; i < range->second; ++i) {
        if (!lines[i].key.empty() && EqualsIgnoringCase(lines[i].key, key))
            return std::string(lines[i].value);
    }
    return std::nullopt;
}

std::optional<std::vector<std::pair<std::string, std::string>>> IniSectionEntries(
    std::string_view text, std::string_view section) {
    const auto lines = SplitLines(text);
    const auto range = FindSection(lines, section);
    if (!range) return std::nullopt;
    std::vector<std::pair<std::string, std::string>> entries;
    for (std::size_t i = range->first; i < range->second; ++i) {
        if (!lines[i].key.empty()) entries.emplace_back(lines[i].key, lines[i].value);
    }
    return entries;
}

bool SameIniName(std::string_view a, std::string_view b) { return EqualsIgnoringCase(a, b); }

std::string SetIniValue(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value) {
    const auto lines = SplitLines(text);
    const std::string entry = std::string(key) + "=" + std::string(value);
    std::vector<std::string> out;
    out.reserve(lines.size() + 2);
    for (const Line& line : lines) out.emplace_back(line.raw);

    if (const auto range = FindSection(lines, section)) {
        std::size_t insertAt = range->first;
        bool replaced = false;
        for (std::size_t i = range->first; i < range->second; ++i) {
            if (!lines[i].key.empty() && EqualsIgnoringCase(lines[i].key, key)) {
                out[i] = entry;
                replaced = true;
                break;
            }
            if (!TrimLine(lines[i].raw).empty()) insertAt = i + 1;
        }
        if (!replaced) out.insert(out.begin() + static_cast<std::ptrdiff_t>(insertAt), entry);
    } else {
        out.push_back("[" + std::string(section) + "]");
        out.push_back(entry);
    }

    // The byte-order mark stays: dropped, whatever follows it would be read as a
    // mark in its place (a second mark, an editor's doing) and the first line
    // would read differently.
    std::string result(text.starts_with(kBom) ? kBom : std::string_view());
    for (const std::string& line : out) {
        result += line;
        result += '\n';
    }
    return result;
}

}  // namespace brisklo
