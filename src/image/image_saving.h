#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace brisklo {

// Colours of the saving figure, 0xAARRGGBB.
inline constexpr std::uint32_t kSavingColour = 0xFF10C00B;        // opaque green
inline constexpr std::uint32_t kLargerOutputColour = 0xFFFF0000;  // opaque red

// Percentage saved, (source - output) / source * 100, from full 64-bit sizes, in
// single precision. None when the source size is 0 or negative: there is nothing to
// compare against.
std::optional<float> SavingPercent(std::int64_t sourceSize, std::int64_t outputSize);

// "12.30%" / "-12.30%".
std::string SavingText(float percent);

// Red when the output is larger than the source, else green.
std::uint32_t SavingColour(float percent);

}  // namespace brisklo
