// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace brisklo {

// The share saved: (source − output) ÷ source × 100 from full 64-bit sizes, the
// division in single precision. None for a source of 0 bytes (or less): there is
// nothing to compare against.
std::optional<float> ComputeSaving(std::int64_t sourceSize, std::int64_t outputSize);

// "75.00%", "-20.00%".
std::string SavingText(float percent);

}  // namespace brisklo
