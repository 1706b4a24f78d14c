#include "image/image_naming.h"

#include <algorithm>
#include <cctype>

namespace brisklo {
namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

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

ImageBranch ChooseImageBranch(std::string_view extension, std::int32_t imageType) {
    if (imageType != 0) return ImageBranch::Jpeg;
    if (EqualsIgnoringCase(extension, "jpg")) return ImageBranch::Jpeg;
    if (EqualsIgnoringCase(extension, "png")) return ImageBranch::Png;
    if (EqualsIgnoringCase(extension, "bmp")) return ImageBranch::Bmp;
    if (EqualsIgnoringCase(extension, "gif")) return ImageBranch::Gif;
    return ImageBranch::Unsupported;
}

std::string OutputExtension(std::string_view extension, std::int32_t imageType) {
    if (imageType != 0 || extension == "jpg") return "jpg";
    return std::string(extension);
}

}  // namespace brisklo
