// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <system_error>
#include <vector>

#include "core/media_kinds.h"

namespace brisklo {

// The files directly in folder (not in its sub-folders) whose extension is one of
// kind's, each once, in name order. Only regular files (or links to one) count:
// a sub-folder named "x.mp4" is not a video. error is set when the folder cannot
// be listed; the files found before a failure are still given.
std::vector<std::filesystem::path> ListMediaFiles(const std::filesystem::path& folder,
                                                  MediaKind kind, std::error_code& error);

// What a folder holds for adding, each list in name order: its files with a video
// or an image extension, how many other files it has, and its sub-folders.
// Hidden names (among them unfinished outputs) and links to folders are left out.
struct FolderContents {
    std::vector<std::filesystem::path> videos;
    std::vector<std::filesystem::path> images;
    int otherFiles = 0;
    std::vector<std::filesystem::path> subfolders;
};
FolderContents ListFolder(const std::filesystem::path& folder, std::error_code& error);

}  // namespace brisklo
