// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/image_size_check.h"

#include <algorithm>
#include <limits>

#include "core/text_utils.h"

namespace brisklo {
namespace {

bool AllDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::optional<SizeFieldProblem> CheckCustomSize(const CustomSizeFields& fields) {
    if (!fields.enabled) return std::nullopt;
    const std::string_view width = Trim(fields.width);
    if (width.empty()) return SizeFieldProblem::EmptyWidth;
    if (!AllDigits(width)) return SizeFieldProblem::WidthNotNumber;
    const std::string_view height = Trim(fields.height);
    if (height.empty()) return SizeFieldProblem::EmptyHeight;
    if (!AllDigits(height)) return SizeFieldProblem::HeightNotNumber;
    return std::nullopt;
}

std::int32_t SizeFieldValue(std::string_view text) {
    const long value = LeadingInteger(text);
    if (value < 0 || value > std::numeric_limits<std::int32_t>::max()) return 0;
    return static_cast<std::int32_t>(value);
}

}  // namespace brisklo
