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

// Notices shown, in the program's one-button notice, when a task is started with
// the custom size on and a field that is empty or not a whole number.
inline constexpr std::string_view kEnterWidthNotice = "请输入图片的宽度!";
inline constexpr std::string_view kWidthNotNumberNotice = "图片宽度必须为数字!";
inline constexpr std::string_view kEnterHeightNotice = "请输入图片的高度!";
inline constexpr std::string_view kHeightNotNumberNotice = "图片高度必须为数字!";

// The first notice that applies, checking width then height, each trimmed of white
// space at both ends: empty, or holding anything but the ASCII digits 0-9 (so any
// character outside ASCII counts as not a digit). None when the option is off or
// both fields are fine.
std::optional<std::string_view> CheckCustomSize(const CustomSizeFields& fields);

// The number a size field stands for at dispatch: its leading decimal digits, 0
// when there are none or the value does not fit.
std::int32_t SizeFieldValue(std::string_view text);

}  // namespace brisklo
