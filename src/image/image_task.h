#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace brisklo {

// One row of the image list.
struct ImageTask {
    std::string fileName;  // shown in the row: the source's name without its folder
    std::string auxText;   // stays empty for images
    std::filesystem::path fullPath;
    // Source size in bytes when the file was added; the saving compares against it.
    std::int64_t fileSize = 0;
};

}  // namespace brisklo
