// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstdint>

namespace brisklo {

// The waiting and busy lists of both task queues are plain sequences of ids.

template <class Sequence>
bool HoldsId(const Sequence& ids, std::int32_t id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

// Removes the first occurrence of id, keeping the order of the others; false
// when it is not there.
template <class Sequence>
bool RemoveFirstId(Sequence& ids, std::int32_t id) {
    const auto at = std::find(ids.begin(), ids.end(), id);
    if (at == ids.end()) return false;
    ids.erase(at);
    return true;
}

}  // namespace brisklo
