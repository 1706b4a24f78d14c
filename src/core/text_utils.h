// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brisklo {

// printf-style formatting into a string of the size the result needs.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// "?timestamp=" and the local time in milliseconds, wrapped to 32 bits.
std::string MakeTimestampQuery();

// Splits with strtok rules: every delimiter ends a part, runs of delimiters count
// as one, empty parts are dropped.
std::vector<std::string> SplitText(std::string_view text, std::string_view delimiters);

inline constexpr std::string_view kBlanks = " \t\r\n\f\v";

// text without the given characters at either end.
std::string_view Trim(std::string_view text, std::string_view blanks = kBlanks);

// Equal when ASCII letters are compared without regard to case.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// Leading decimal digits of text (after blanks and an optional sign), 0 if none.
long LeadingInteger(std::string_view text);

}  // namespace brisklo
