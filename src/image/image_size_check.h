// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brisklo {

// The custom size option and the texts of its two fields, as the user left them.
struct CustomSizeFields {
    bool enabled = false;  // "image-define-param" checked
    std::string width;     // text of "image-width"
    std::string height;    // text of "image-height"
};

// What is wrong with the custom size fields; the front end says it to the user.
enum class SizeFieldProblem { EmptyWidth, WidthNotNumber, EmptyHeight, HeightNotNumber };

// The first problem that applies, checking width then height, each trimmed of white
// space at both ends: empty, or holding anything but the ASCII digits 0-9 (so any
// character outside ASCII counts as not a digit). None when the option is off or
// both fields are fine.
std::optional<SizeFieldProblem> CheckCustomSize(const CustomSizeFields& fields);

// The number a size field stands for at dispatch: its leading decimal digits, 0
// when there are none or the value does not fit.
std::int32_t SizeFieldValue(std::string_view text);

}  // namespace brisklo
