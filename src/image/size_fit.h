// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/result.h"

namespace brisklo {

// Most encodes one picture may take to find a setting that fits: the first at the
// preset's setting, one at the lowest, and a bisection between them.
inline constexpr int kMaxFitEncodes = 7;
inline constexpr int kLowestJpegQuality = 10;
inline constexpr int kLowestColours = 2;

using EncodeAt = std::function<Result<std::vector<std::uint8_t>>(int setting)>;

// Encodes at `start` (the preset's quality or colours); when a limit is given and
// that is over it, finds the highest setting down to `lowest` that fits, by
// bisection, in at most kMaxFitEncodes encodes, all in memory. When even `lowest`
// is over the limit, the error says so with both sizes; `what` names the setting
// ("quality", "colours").
Result<std::vector<std::uint8_t>> EncodeToFit(int start, int lowest,
                                              std::optional<std::int64_t> limit,
                                              const EncodeAt& encode, const std::string& what);

}  // namespace brisklo
