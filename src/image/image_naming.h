// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/media_options.h"

namespace brisklo {

// The parts of a source path the output name is made from.
struct SourceName {
    std::string fileName;   // "photo(5).PNG"
    std::string baseName;   // "photo(5)": up to the last dot, or the whole name
    std::string extension;  // "PNG": after the last dot, as written; empty without one
};
SourceName SplitSourceName(const std::filesystem::path& source);

// Which re-encoding an image takes.
enum class ImageBranch { Jpeg, Png, Bmp, Gif, Unsupported };

// Converting to JPEG always takes the JPEG branch; otherwise the
// extension decides, compared without regard to case: jpg, png, bmp, gif.
ImageBranch ChooseImageBranch(std::string_view extension, ImageOutput output);

// "jpg" when converting or when the source extension is exactly "jpg"; otherwise
// the source extension as written, so x.PNG stays x.PNG.
std::string OutputExtension(std::string_view extension, ImageOutput output);

}  // namespace brisklo
