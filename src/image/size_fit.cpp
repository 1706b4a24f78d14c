// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/size_fit.h"

#include "core/file_utils.h"

namespace brisklo {

Result<std::vector<std::uint8_t>> EncodeToFit(int start, int lowest,
                                              std::optional<std::int64_t> limit,
                                              const EncodeAt& encode, const std::string& what) {
    auto first = encode(start);
    if (!first || !limit) return first;
    auto fits = [&limit](const std::vector<std::uint8_t>& bytes) {
        return static_cast<std::int64_t>(bytes.size()) <= *limit;
    };
    if (fits(first.value())) return first;
    const std::string over = "it cannot be made to fit into " + FormatFileSize(*limit) + ": ";
    if (start <= lowest) {
        return Error{over + "it is " +
                     FormatFileSize(static_cast<std::int64_t>(first.value().size())) +
                     " already at the lowest " + what + " (" + std::to_string(lowest) + ")"};
    }
    auto best = encode(lowest);
    if (!best) return best;
    if (!fits(best.value())) {
        return Error{over + "even at the lowest " + what + " (" + std::to_string(lowest) +
                     ") it is " + FormatFileSize(static_cast<std::int64_t>(best.value().size()))};
    }
    // lower fits, upper does not; the highest setting that fits lies between.
    int lower = lowest;
    int upper = start;
    for (int encodes = 2; encodes < kMaxFitEncodes && upper - lower > 1; ++encodes) {
        const int middle = lower + (upper - lower) / 2;
        auto tried = encode(middle);
        if (!tried) return tried;
        if (fits(tried.value())) {
            best = std::move(tried);
            lower = middle;
        } else {
            upper = middle;
        }
    }
    return best;
}

}  // namespace brisklo
