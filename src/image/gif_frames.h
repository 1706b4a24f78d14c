// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace brisklo {

// Frames of an animation of `count` frames that dropping keeps, in order. Drop
// index 0, 1, 2, 3, 4 drops every frame whose index is a multiple of 6, 5, 4, 3, 2
// (so the first frame always goes and index 4 keeps exactly the odd frames); any
// other drop index keeps nothing.
std::vector<std::size_t> KeptFrames(std::size_t count, std::int32_t dropIndex);

// Whether frame `index` is kept by dropping with dropIndex (the rule above).
bool FrameKept(std::size_t index, std::int32_t dropIndex);

// The delays of the kept frames once every dropped frame has given its delay to the
// kept frame shown before it, so the animation keeps its length. Dropped frames
// before the first kept one give theirs to that first kept frame.
std::vector<std::size_t> MergedDelays(std::span<const std::size_t> delays,
                                      std::span<const std::size_t> kept);

}  // namespace brisklo
