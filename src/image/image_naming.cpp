// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/image_naming.h"

#include "core/text_utils.h"

namespace brisklo {

SourceName SplitSourceName(const std::filesystem::path& source) {
    SourceName name;
    name.fileName = source.filename().string();
    const auto dot = name.fileName.rfind('.');
    if (dot == std::string::npos) {
        name.baseName = name.fileName;
    } else {
        name.baseName = name.fileName.substr(0, dot);
        name.extension = name.fileName.substr(dot + 1);
    }
    return name;
}

ImageBranch ChooseImageBranch(std::string_view extension, ImageOutput output) {
    if (output == ImageOutput::Jpeg) return ImageBranch::Jpeg;
    if (EqualsIgnoringCase(extension, "jpg")) return ImageBranch::Jpeg;
    if (EqualsIgnoringCase(extension, "png")) return ImageBranch::Png;
    if (EqualsIgnoringCase(extension, "bmp")) return ImageBranch::Bmp;
    if (EqualsIgnoringCase(extension, "gif")) return ImageBranch::Gif;
    return ImageBranch::Unsupported;
}

std::string OutputExtension(std::string_view extension, ImageOutput output) {
    if (output == ImageOutput::Jpeg || extension == "jpg") return "jpg";
    return std::string(extension);
}

}  // namespace brisklo
