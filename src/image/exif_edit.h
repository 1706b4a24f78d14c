// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace brisklo {

// The EXIF block of a JPEG's APP1 segment ("Exif\0\0" and a TIFF structure) made fit
// to go with pixels that have been turned upright: its orientation tag says 1. Unless
// keepLocation, the GPS position is gone: the GPS directory's pointer is taken out of
// the first directory and the directory with its values is overwritten with zeros.
// None when the block is not EXIF or its structure does not hold together.
std::optional<std::vector<std::uint8_t>> UprightExif(std::span<const std::uint8_t> app1,
                                                     bool keepLocation);

}  // namespace brisklo
