// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/file_adding.h"

#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <utility>

#include "batch/media_detect.h"
#include "core/folder_listing.h"
#include "core/log.h"

namespace brisklo::app {
namespace fs = std::filesystem;

FileAdding::FileAdding(QWidget& window, AddFileFunction addFile,
                       std::function<bool()> includeSubfolders)
    : m_window(window),
      m_addFile(std::move(addFile)),
      m_includeSubfolders(std::move(includeSubfolders)) {}

namespace {

// Time the UI thread spends adding rows before it handles its other events.
constexpr int kSliceMilliseconds = 30;

}  // namespace

void FileAdding::ChooseFiles(MediaKind kind) {
    for (fs::path& file : m_choosers->ChooseFiles(&m_window, kind)) {
        Queue(std::move(file), kind, Judge::BySignature);
    }
    AddSlice();
}

void FileAdding::ChooseFolder(MediaKind kind) {
    const auto folder = m_choosers->ChooseFolder(&m_window, kind);
    if (!folder) return;
    AddFolder(*folder, *folder, kind, m_includeSubfolders());
    AddSlice();
}

bool FileAdding::HandleClick(const QString& name) {
    struct Action {
        const char* name;
        MediaKind kind;
        bool folder;
    };
    static constexpr Action kActions[] = {
        {"add-video-file", MediaKind::Video, false},
        {"add-video-file-info", MediaKind::Video, false},
        {"add-image-file", MediaKind::Image, false},
        {"add-image-file-info", MediaKind::Image, false},
        {"add-video-dir", MediaKind::Video, true},
        {"add-video-dir-info", MediaKind::Video, true},
        {"add-image-dir", MediaKind::Image, true},
        {"add-image-dir-info", MediaKind::Image, true},
    };
    for (const Action& action : kActions) {
        if (name != QLatin1String(action.name)) continue;
        if (action.folder) {
            ChooseFolder(action.kind);
        } else {
            ChooseFiles(action.kind);
        }
        return true;
    }
    return false;
}

void FileAdding::AddPaths(const std::vector<fs::path>& paths) {
    const bool recursive = m_includeSubfolders();
    for (const fs::path& path : paths) {
        std::error_code error;
        if (fs::is_directory(path, error)) {
            AddFolder(path, path, MediaKind::Unknown, recursive);
            continue;
        }
        Queue(path, MediaKind::Unknown, Judge::ByContent);
    }
    AddSlice();
}

void FileAdding::AddSkippedFolders(const std::vector<SkippedFolder>& folders) {
    for (const SkippedFolder& skipped : folders) {
        AddFolder(skipped.root, skipped.folder, MediaKind::Unknown, /*recursive=*/true);
    }
    AddSlice();
}

void FileAdding::AddFolder(const fs::path& root, const fs::path& folder, MediaKind kind,
                           bool recursive) {
    std::error_code error;
    const FolderContents contents = ListFolder(folder, error);
    if (error) {
        Refuse(folder.string() + ": cannot list the folder: " + error.message());
        return;
    }
    // The output keeps the path from the folder the user added.
    const fs::path subfolder = folder.lexically_relative(root);
    const fs::path mirrored = subfolder == "." ? fs::path() : subfolder;
    for (const MediaKind listed : {MediaKind::Video, MediaKind::Image}) {
        const auto& files = listed == MediaKind::Video ? contents.videos : contents.images;
        if (kind != MediaKind::Unknown && kind != listed) {
            m_report.unsupported += static_cast<int>(files.size());
            continue;
        }
        for (const fs::path& file : files) Queue(file, listed, Judge::BySignature, mirrored);
    }
    m_report.unsupported += contents.otherFiles;
    for (const fs::path& sub : contents.subfolders) {
        if (recursive) {
            AddFolder(root, sub, kind, recursive);
        } else {
            m_report.skippedFolders.push_back({root, sub});
        }
    }
}

void FileAdding::Queue(fs::path file, MediaKind kind, Judge judge, fs::path subfolder) {
    m_waiting.push_back({std::move(file), kind, judge, std::move(subfolder)});
}

void FileAdding::AddSlice() {
    QElapsedTimer slice;
    slice.start();
    while (!m_waiting.empty() && slice.elapsed() < kSliceMilliseconds) {
        const Waiting waiting = std::move(m_waiting.front());
        m_waiting.pop_front();
        AddFile(waiting);
    }
    if (m_waiting.empty()) {
        const AddReport report = std::exchange(m_report, AddReport{});
        if (!report.empty() && m_onReport) m_onReport(report);
        return;
    }
    if (m_sliceScheduled) return;
    m_sliceScheduled = true;
    QTimer::singleShot(0, &m_window, [this] {
        m_sliceScheduled = false;
        AddSlice();
    });
}

void FileAdding::Refuse(const std::string& message) {
    std::fprintf(stderr, "brisklo: %s\n", message.c_str());
    LogLine("%s\n", message.c_str());
}

void FileAdding::AddFile(const Waiting& waiting) {
    const fs::path& file = waiting.file;
    MediaKind kind = waiting.kind;
    if (waiting.judge == Judge::BySignature) {
        kind = KindOfListedFile(file, kind);
    } else if (const auto detected = DetectMediaKind(file)) {
        kind = detected.value();
    } else {
        Refuse(detected.error().message);
        ++m_report.unsupported;
        return;
    }
    switch (m_addFile(kind, file, waiting.subfolder)) {
        case AddOutcome::Added:
            ++(kind == MediaKind::Image ? m_report.images : m_report.videos);
            return;
        case AddOutcome::AlreadyListed:
            ++m_report.alreadyListed;
            return;
        case AddOutcome::Unreadable:
            break;
    }
    ++m_report.unreadable;
    std::error_code error;
    (void)fs::file_size(file, error);
    Refuse("cannot read " + file.string() + ": " +
           (error ? error.message() : std::string("not a readable file")));
}

std::vector<fs::path> ToPaths(const QStringList& list) {
    std::vector<fs::path> paths;
    for (const QString& item : list) paths.emplace_back(item.toStdString());
    return paths;
}

}  // namespace brisklo::app
