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

    // The chooser buttons: every chosen file is added to that kind's list, whatever
    // its name, except a picture, which always goes to the images.
    void ChooseFiles(MediaKind kind);
    // A folder adds its files with that kind's extensions (top level only); a
    // picture among them goes to the images.
    void ChooseFolder(MediaKind kind);
    // "add-video-file", "add-image-dir-info", ...: true when the name is one of them.
    bool HandleClick(const QString& senderName);

    // Files and folders from a drop, the command line or a second start. A file goes
    // to the list its content says (DetectMediaKind: a picture is an image whatever
    // its name), or is refused with a line on standard error and in the log; a
    // folder adds its videos and its images.
    void AddPaths(const std::vector<std::filesystem::path>& paths);

    // Rows are added in order, a slice at a time between the window's events, so
    // a thousand files never freeze it; true while some still wait.
    bool Busy() const { return !m_waiting.empty(); }

  private:
    // How a waiting file's list is decided when its turn comes.
    enum class Judge {
        ByContent,    // named: the content decides, or the file is refused
        BySignature,  // listed or chosen for a kind: only a picture changes lists
    };
    struct Waiting {
        std::filesystem::path file;
        MediaKind kind;
        Judge judge;
    };

    void AddFolder(const std::filesystem::path& folder, MediaKind kind);
    void Queue(std::filesystem::path file, MediaKind kind, Judge judge);
    // Adds waiting files for one slice of time, then lets the window breathe.
    void AddSlice();
    void AddFile(const Waiting& waiting);

    QWidget& m_window;
    AddFileFunction m_addFile;
    std::unique_ptr<FileChoosers> m_choosers = std::make_unique<DialogChoosers>();
    std::deque<Waiting> m_waiting;
    bool m_sliceScheduled = false;
};

std::vector<std::filesystem::path> ToPaths(const QStringList& list);

}  // namespace brisklo::app
