// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/media_kinds.h"

namespace brisklo::cli {

struct CollectedFile {
    std::filesystem::path path;
    MediaKind kind = MediaKind::Unknown;
};

struct Collection {
    std::vector<CollectedFile> files;
    std::vector<std::string> problems;  // each names the path and says what is wrong
};

// Turns the command line's paths into tasks. A folder adds its entries whose
// extension is on the video or image list (sorted by name; sub-folders too when
// recursive). A named file is taken by its extension, else as a video when the
// media probe finds a video or audio stream in it, else it is refused. A file
// named twice is added once.
Collection CollectPaths(const std::vector<std::string>& paths, bool recursive);

}  // namespace brisklo::cli
