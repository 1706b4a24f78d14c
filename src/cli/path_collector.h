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
    // Found in a sub-folder of a folder named on the command line: the same path
    // under the output folder ("2024/trips").
    std::filesystem::path outputSubfolder;
};

// A path that gives no task, and why.
struct RefusedPath {
    std::string path;     // as the command line named it (or the folder found in it)
    std::string message;  // names the path and says what is wrong
};

struct Collection {
    std::vector<CollectedFile> files;
    std::vector<RefusedPath> refused;
};

// Turns the command line's paths into tasks. A folder adds its entries whose
// extension is on the video or image list, in any letter case (sorted by name;
// sub-folders too when recursive); a picture among them is an image whatever its
// extension. A named file is judged by its content (DetectMediaKind): a picture
// is an image, a file with a video or audio stream a video, anything else is
// refused. A file named twice is added once. The outputs of files found in
// sub-folders keep the sub-folders' path under the output folder.
Collection CollectPaths(const std::vector<std::string>& paths, bool recursive);

}  // namespace brisklo::cli
