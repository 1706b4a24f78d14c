// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <compare>
#include <optional>
#include <string_view>

namespace brisklo {

// A version "major.minor.revision", compared number by number.
struct VersionNumber {
    long major = 0;
    long minor = 0;
    long revision = 0;

    auto operator<=>(const VersionNumber&) const = default;
};

// Splits text at every "." (empty pieces skipped) and reads the first three
// pieces as strtol does in base 10: leading blanks skipped, trailing non-digits
// ignored ("1.2x.3" is 1.2.3). Nothing when there are fewer than three pieces or
// one of them does not start with a number.
std::optional<VersionNumber> ParseVersion(std::string_view text);

// strtol of text in base 10; nothing when text does not start with a number.
std::optional<long> ParseLeadingNumber(std::string_view text);

}  // namespace brisklo
