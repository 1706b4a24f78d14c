// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/folder_listing.h"

#include <algorithm>

namespace brisklo {
namespace fs = std::filesystem;

std::vector<fs::path> ListMediaFiles(const fs::path& folder, MediaKind kind,
                                     std::error_code& error) {
    std::vector<fs::path> files;
    error.clear();
    fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const fs::path& path = it->path();
        if (KindByExtension(path.filename().string()) != kind) continue;
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        files.push_back(path);
    }
    // The directory's own order is arbitrary; people expect the names in order.
    std::sort(files.begin(), files.end());
    return files;
}

FolderContents ListFolder(const fs::path& folder, std::error_code& error) {
    FolderContents contents;
    error.clear();
    fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const fs::path& path = it->path();
        const std::string name = path.filename().string();
        if (name.starts_with('.')) continue;
        std::error_code typeError;
        if (it->is_directory(typeError)) {
            if (!it->is_symlink(typeError)) contents.subfolders.push_back(path);
            continue;
        }
        if (!it->is_regular_file(typeError)) continue;
        switch (KindByExtension(name)) {
            case MediaKind::Video:
                contents.videos.push_back(path);
                break;
            case MediaKind::Image:
                contents.images.push_back(path);
                break;
            case MediaKind::Unknown:
                ++contents.otherFiles;
                break;
        }
    }
    for (auto* list : {&contents.videos, &contents.images, &contents.subfolders}) {
        std::sort(list->begin(), list->end());
    }
    return contents;
}

}  // namespace brisklo
