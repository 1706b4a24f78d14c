#include "image/image_size_check.h"

#include <algorithm>
#include <limits>

#include "core/text_utils.h"

namespace brisklo {
namespace {

std::string_view Trim(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\n\f\v";
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

bool AllDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::optional<std::string_view> CheckCustomSize(const CustomSizeFields& fields) {
    if (!fields.enabled) return std::nullopt;
    const std::string_view width = Trim(fields.width);
    if (width.empty()) return kEnterWidthNotice;
    if (!AllDigits(width)) return kWidthNotNumberNotice;
    const std::string_view height = Trim(fields.height);
    if (height.empty()) return kEnterHeightNotice;
    if (!AllDigits(height)) return kHeightNotNumberNotice;
    return std::nullopt;
}

std::int32_t SizeFieldValue(std::string_view text) {
    const long value = LeadingInteger(text);
    if (value < 0 || value > std::numeric_limits<std::int32_t>::max()) return 0;
    return static_cast<std::int32_t>(value);
}

}  // namespace brisklo
