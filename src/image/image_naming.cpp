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

ImageBranch ChooseImageBranch(ImageFormat source, ImageOutput output) {
    switch (OutputFormat(source, output)) {
        case ImageFormat::Jpeg:
            return ImageBranch::Jpeg;
        case ImageFormat::Png:
            return ImageBranch::Png;
        case ImageFormat::Bmp:
            return ImageBranch::Bmp;
        case ImageFormat::Gif:
            return ImageBranch::Gif;
    }
    return ImageBranch::Jpeg;
}

ImageFormat OutputFormat(ImageFormat source, ImageOutput output) {
    return output == ImageOutput::Jpeg ? ImageFormat::Jpeg : source;
}

bool ExtensionNames(std::string_view extension, ImageFormat format) {
    const auto is = [extension](std::string_view name) {
        return EqualsIgnoringCase(extension, name);
    };
    switch (format) {
        case ImageFormat::Jpeg:
            return is("jpg") || is("jpeg") || is("jpe") || is("jfif");
        case ImageFormat::Png:
            return is("png");
        case ImageFormat::Bmp:
            return is("bmp");
        case ImageFormat::Gif:
            return is("gif");
    }
    return false;
}

std::string OutputExtension(std::string_view extension, ImageFormat source, ImageOutput output) {
    const ImageFormat format = OutputFormat(source, output);
    if (format == source && ExtensionNames(extension, format)) return std::string(extension);
    switch (format) {
        case ImageFormat::Jpeg:
            return "jpg";
        case ImageFormat::Png:
            return "png";
        case ImageFormat::Bmp:
            return "bmp";
        case ImageFormat::Gif:
            return "gif";
    }
    return "jpg";
}

}  // namespace brisklo
