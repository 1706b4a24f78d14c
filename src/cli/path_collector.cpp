// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/path_collector.h"

#include <algorithm>
#include <set>
#include <system_error>

#include "batch/media_detect.h"

namespace brisklo::cli {
namespace fs = std::filesystem;

namespace {

void AddFolder(const fs::path& root, const fs::path& folder, bool recursive, Collection& out) {
    std::error_code error;
    std::vector<fs::path> entries;
    std::vector<fs::path> subfolders;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        // Hidden names are skipped: among them the unfinished outputs of a run
        // writing into this folder.
        if (it->path().filename().string().starts_with('.')) continue;
        std::error_code typeError;
        if (it->is_directory(typeError)) {
            if (recursive && !it->is_symlink(typeError)) subfolders.push_back(it->path());
        } else if (it->is_regular_file(typeError)) {
            entries.push_back(it->path());
        }
    }
    if (error) {
        out.refused.push_back(
            {folder.string(), folder.string() + ": cannot list the folder: " + error.message()});
        return;
    }
    std::sort(entries.begin(), entries.end());
    std::sort(subfolders.begin(), subfolders.end());
    const fs::path relative = folder.lexically_relative(root);
    const fs::path subfolder = relative == "." ? fs::path() : relative;
    for (const fs::path& entry : entries) {
        const MediaKind kind = KindByExtension(entry.filename().string());
        if (kind != MediaKind::Unknown) {
            out.files.push_back({entry, KindOfListedFile(entry, kind), subfolder});
        }
    }
    for (const fs::path& sub : subfolders) AddFolder(root, sub, recursive, out);
}

}  // namespace

Collection CollectPaths(const std::vector<std::string>& paths, bool recursive) {
    Collection out;
    for (const std::string& text : paths) {
        const fs::path path(text);
        std::error_code error;
        const fs::file_status status = fs::status(path, error);
        if (!error && fs::is_directory(status)) {
            AddFolder(path, path, recursive, out);
        } else if (const auto kind = DetectMediaKind(path)) {
            out.files.push_back({path, kind.value(), {}});
        } else {
            out.refused.push_back({text, kind.error().message});
        }
    }
    // The same file named twice (or through a folder and by name) runs once.
    std::set<fs::path> seen;
    std::erase_if(out.files, [&](const CollectedFile& file) {
        std::error_code error;
        const fs::path key = fs::weakly_canonical(file.path, error);
        return !seen.insert(error ? file.path : key).second;
    });
    return out;
}

}  // namespace brisklo::cli
