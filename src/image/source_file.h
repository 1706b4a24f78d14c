// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "core/result.h"
#include "image/image_sniff.h"

namespace brisklo {

// Largest source file read: no JPEG, PNG, BMP or GIF within the pixel limits comes
// near it.
inline constexpr std::uint64_t kMaxSourceBytes = 512ull << 20;

// Pixels of all the frames of one animation together, once composed. Animations
// are processed frame by frame, so this bounds the work rather than the memory:
// 1,000 frames of 800x600 fit, a long full-HD film does not.
inline constexpr std::uint64_t kMaxAnimationPixels = 500'000'000;

// A source image read into memory, with the format its content has.
struct SourceImage {
    std::vector<std::uint8_t> bytes;
    ImageFormat format = ImageFormat::Jpeg;
};

// Reads a whole file (regular files only, at most kMaxSourceBytes). The error says
// what went wrong without the path; callers put the file's name in front.
Result<std::vector<std::uint8_t>> ReadWholeFile(const std::filesystem::path& path);

// The format the file's first bytes name; none when they name no supported image
// or the file cannot be read (the error says which).
Result<std::optional<ImageFormat>> SniffImageFile(const std::filesystem::path& path);

// Reads a source and checks it before any decoder sees it: its content must be a
// JPEG, PNG, BMP or GIF, and the size its header declares (for a GIF also the number
// and size of its frames) must be within the image library's limits, so that a
// decompression bomb is refused without being decoded.
Result<SourceImage> LoadSourceImage(const std::filesystem::path& path);

}  // namespace brisklo
