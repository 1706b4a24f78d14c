#include "image/image_saving.h"

#include <cstdio>

namespace brisklo {

std::optional<float> SavingPercent(std::int64_t sourceSize, std::int64_t outputSize) {
    if (sourceSize <= 0) return std::nullopt;
    const double difference = static_cast<double>(sourceSize - outputSize);
    return static_cast<float>(difference / static_cast<double>(sourceSize) * 100.0);
}

std::string SavingText(float percent) {
    const int length = std::snprintf(nullptr, 0, "%.2f%%", static_cast<double>(percent));
    std::string text(static_cast<std::size_t>(length), '\0');
    std::snprintf(text.data(), text.size() + 1, "%.2f%%", static_cast<double>(percent));
    return text;
}

std::uint32_t SavingColour(float percent) {
    return percent < 0.0f ? kLargerOutputColour : kSavingColour;
}

}  // namespace brisklo
