// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "app/file_choosers.h"
#include "core/media_kinds.h"

namespace brisklo::app {

// Turns the user's choices into rows of the main window: the chooser buttons,
// dropped files and folders, the command line and a second start's arguments.
class FileAdding {
  public:
    // addFile adds one row of that kind for the file; false when it cannot.
    using AddFileFunction = std::function<bool(MediaKind, const std::filesystem::path&)>;
    // window: the parent of the choosers.
    FileAdding(QWidget& window, AddFileFunction addFile);

    // Tests answer the choosers themselves.
    void SetChoosers(std::unique_ptr<FileChoosers> choosers) { m_choosers = std::move(choosers); }

    // The chooser buttons: every chosen file is added, whatever its name.
    void ChooseFiles(MediaKind kind);
    // A folder adds its files of that kind (top level only).
    void ChooseFolder(MediaKind kind);
    // "add-video-file", "add-image-dir-info", ...: true when the name is one of them.
    bool HandleClick(const QString& senderName);

    // Files and folders from a drop, the command line or a second start. Files go
    // to the list of their kind, others to the list of fallback; a folder adds its
    // videos and its images.
    void AddPaths(const std::vector<std::filesystem::path>& paths, MediaKind fallback);

    // Rows are added in order, a slice at a time between the window's events, so
    // a thousand files never freeze it; true while some still wait.
    bool Busy() const { return !m_waiting.empty(); }

  private:
    void AddFolder(const std::filesystem::path& folder, MediaKind kind);
    void Queue(std::filesystem::path file, MediaKind kind);
    // Adds waiting files for one slice of time, then lets the window breathe.
    void AddSlice();
    void AddFile(const std::filesystem::path& file, MediaKind kind);

    QWidget& m_window;
    AddFileFunction m_addFile;
    std::unique_ptr<FileChoosers> m_choosers = std::make_unique<DialogChoosers>();
    std::deque<std::pair<std::filesystem::path, MediaKind>> m_waiting;
    bool m_sliceScheduled = false;
};

std::vector<std::filesystem::path> ToPaths(const QStringList& list);

}  // namespace brisklo::app
