// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/media_options.h"
#include "image/image_sniff.h"

namespace brisklo {

// The parts of a source path the output name is made from.
struct SourceName {
    std::string fileName;   // "photo(5).PNG"
    std::string baseName;   // "photo(5)": up to the last dot, or the whole name
    std::string extension;  // "PNG": after the last dot, as written; empty without one
};
SourceName SplitSourceName(const std::filesystem::path& source);

// Which re-encoding an image takes.
enum class ImageBranch { Jpeg, Png, Bmp, Gif };

// Converting to JPEG always takes the JPEG branch; otherwise the content's format
// decides, whatever the file's name says.
ImageBranch ChooseImageBranch(ImageFormat source, ImageOutput output);

// The format the output has: JPEG when converting, else the source's own.
ImageFormat OutputFormat(ImageFormat source, ImageOutput output);

// True when the extension, in any letter case, is one the format goes by ("jpg",
// "jpeg", "jpe" and "jfif" for JPEG).
bool ExtensionNames(std::string_view extension, ImageFormat format);

// The source's extension as written when it names the output's format (x.PNG stays
// x.PNG, a.jpeg stays a.jpeg); otherwise the format's own: "jpg" when converting to
// JPEG, "png" for a PNG that was named x.jpg.
std::string OutputExtension(std::string_view extension, ImageFormat source, ImageOutput output);

}  // namespace brisklo
