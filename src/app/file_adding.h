// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "app/add_report.h"
#include "app/file_choosers.h"
#include "core/media_kinds.h"

namespace brisklo::app {

enum class AddOutcome { Added, AlreadyListed, Unreadable };

// Turns the user's choices into rows of the main window: the chooser buttons,
// dropped files and folders, the command line and a second start's arguments.
// Each add ends with a report of what went where and what was left out.
class FileAdding {
  public:
    // Adds one row of that kind for the file, its output going into subfolder
    // under the output folder.
    using AddFileFunction = std::function<AddOutcome(MediaKind, const std::filesystem::path& file,
                                                     const std::filesystem::path& subfolder)>;
    // window: the parent of the choosers. includeSubfolders: whether a folder
    // brings its sub-folders too (the setting, read at each add).
    FileAdding(QWidget& window, AddFileFunction addFile, std::function<bool()> includeSubfolders);

    // Tests answer the choosers themselves.
    void SetChoosers(std::unique_ptr<FileChoosers> choosers) { m_choosers = std::move(choosers); }
    // Told when the files of an add are all in.
    void SetOnReport(std::function<void(const AddReport&)> onReport) {
        m_onReport = std::move(onReport);
    }

    // The chooser buttons: every chosen file is added to that kind's list, whatever
    // its name, except a picture, which always goes to the images.
    void ChooseFiles(MediaKind kind);
    // A folder adds its files with that kind's extensions; a picture among them
    // goes to the images.
    void ChooseFolder(MediaKind kind);
    // "add-video-file", "add-image-dir-info", ...: true when the name is one of them.
    bool HandleClick(const QString& senderName);

    // Files and folders from a drop, the command line or a second start. A file goes
    // to the list its content says (DetectMediaKind: a picture is an image whatever
    // its name), or is refused with a line on standard error and in the log; a
    // folder adds its videos and its images.
    void AddPaths(const std::vector<std::filesystem::path>& paths);
    // The sub-folders an earlier add left out, with everything under them.
    void AddSkippedFolders(const std::vector<SkippedFolder>& folders);

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
        std::filesystem::path subfolder;
    };

    // kind Unknown takes both kinds of file.
    void AddFolder(const std::filesystem::path& root, const std::filesystem::path& folder,
                   MediaKind kind, bool recursive);
    void Queue(std::filesystem::path file, MediaKind kind, Judge judge,
               std::filesystem::path subfolder = {});
    // Adds waiting files for one slice of time, then lets the window breathe.
    void AddSlice();
    void AddFile(const Waiting& waiting);
    void Refuse(const std::string& message);

    QWidget& m_window;
    AddFileFunction m_addFile;
    std::function<bool()> m_includeSubfolders;
    std::function<void(const AddReport&)> m_onReport;
    std::unique_ptr<FileChoosers> m_choosers = std::make_unique<DialogChoosers>();
    std::deque<Waiting> m_waiting;
    AddReport m_report;
    bool m_sliceScheduled = false;
};

std::vector<std::filesystem::path> ToPaths(const QStringList& list);

}  // namespace brisklo::app
