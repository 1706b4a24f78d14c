// SPDX-License-Identifier: GPL-3.0-or-later
#include "video/encoder_locator.h"

#include <unistd.h>

#include <cstdlib>

#include "core/file_utils.h"
#include "core/text_utils.h"

namespace brisklo {
namespace fs = std::filesystem;

namespace {

constexpr const char* kEncoderName = "ffmpeg";

bool IsExecutableFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

fs::path FindEncoder() {
    if (const fs::path beside = ExecutableFolder() / kEncoderName; IsExecutableFile(beside)) {
        return beside;
    }
    if (const char* path = std::getenv("PATH")) {
        for (const std::string& folder : SplitText(path, ":")) {
            if (const fs::path candidate = fs::path(folder) / kEncoderName;
                candidate.is_absolute() && IsExecutableFile(candidate)) {
                return candidate;
            }
        }
    }
    return kEncoderName;
}

}  // namespace brisklo
