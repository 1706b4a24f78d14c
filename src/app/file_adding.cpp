// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/file_adding.h"

#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>

#include "batch/media_detect.h"
#include "core/folder_listing.h"
#include "core/log.h"

namespace brisklo::app {
namespace fs = std::filesystem;

FileAdding::FileAdding(QWidget& window, AddFileFunction addFile)
    : m_window(window), m_addFile(std::move(addFile)) {}

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
    AddFolder(*folder, kind);
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
    for (const fs::path& path : paths) {
        std::error_code error;
        if (fs::is_directory(path, error)) {
            AddFolder(path, MediaKind::Video);
            AddFolder(path, MediaKind::Image);
            continue;
        }
        Queue(path, MediaKind::Unknown, Judge::ByContent);
    }
    AddSlice();
}

void FileAdding::AddFolder(const fs::path& folder, MediaKind kind) {
    std::error_code error;
    for (fs::path& file : ListMediaFiles(folder, kind, error)) {
        Queue(std::move(file), kind, Judge::BySignature);
    }
    if (error) {
        std::fprintf(stderr, "brisklo: cannot list the folder %s: %s\n", folder.c_str(),
                     error.message().c_str());
    }
}

void FileAdding::Queue(fs::path file, MediaKind kind, Judge judge) {
    m_waiting.push_back({std::move(file), kind, judge});
}

void FileAdding::AddSlice() {
    QElapsedTimer slice;
    slice.start();
    while (!m_waiting.empty() && slice.elapsed() < kSliceMilliseconds) {
        const Waiting waiting = std::move(m_waiting.front());
        m_waiting.pop_front();
        AddFile(waiting);
    }
    if (m_waiting.empty() || m_sliceScheduled) return;
    m_sliceScheduled = true;
    QTimer::singleShot(0, &m_window, [this] {
        m_sliceScheduled = false;
        AddSlice();
    });
}

void FileAdding::AddFile(const Waiting& waiting) {
    const fs::path& file = waiting.file;
    MediaKind kind = waiting.kind;
    if (waiting.judge == Judge::BySignature) {
        kind = KindOfListedFile(file, kind);
    } else if (const auto detected = DetectMediaKind(file)) {
        kind = detected.value();
    } else {
        std::fprintf(stderr, "brisklo: %s\n", detected.error().message.c_str());
        LogLine("%s\n", detected.error().message.c_str());
        return;
    }
    if (m_addFile(kind, file)) return;
    std::error_code error;
    (void)fs::file_size(file, error);
    std::fprintf(stderr, "brisklo: cannot read %s: %s\n", file.c_str(),
                 error ? error.message().c_str() : "not a readable file");
}

std::vector<fs::path> ToPaths(const QStringList& list) {
    std::vector<fs::path> paths;
    for (const QString& item : list) paths.emplace_back(item.toStdString());
    return paths;
}

}  // namespace brisklo::app
