// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/saving.h"

#include "core/text_utils.h"

namespace brisklo {

std::optional<float> ComputeSaving(std::int64_t sourceSize, std::int64_t outputSize) {
    if (sourceSize <= 0) return std::nullopt;
    const std::int64_t difference = sourceSize - outputSize;
    const float saved = static_cast<float>(static_cast<double>(difference));
    const float source = static_cast<float>(static_cast<double>(sourceSize));
    return saved / source * 100.0f;
}

std::string SavingText(float percent) { return FormatText("%.2f%%", static_cast<double>(percent)); }

}  // namespace brisklo
