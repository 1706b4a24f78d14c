// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/version_number.h"

#include <cstdlib>
#include <string>

#include "core/text_utils.h"

namespace brisklo {

std::optional<long> ParseLeadingNumber(std::string_view text) {
    const std::string copy(text);  // strtol needs a terminated string
    const char* begin = copy.c_str();
    char* end = nullptr;
    const long value = std::strtol(begin, &end, 10);
    if (end == begin) return std::nullopt;
    return value;
}

std::optional<VersionNumber> ParseVersion(std::string_view text) {
    const std::vector<std::string> pieces = SplitText(text, ".");
    if (pieces.size() < 3) return std::nullopt;
    const auto major = ParseLeadingNumber(pieces[0]);
    const auto minor = ParseLeadingNumber(pieces[1]);
    const auto revision = ParseLeadingNumber(pieces[2]);
    if (!major || !minor || !revision) return std::nullopt;
    return VersionNumber{*major, *minor, *revision};
}

}  // namespace brisklo
