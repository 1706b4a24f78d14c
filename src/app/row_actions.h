// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "core/media_kinds.h"
#include "dialogs/output_folder_choice.h"

class QWidget;

namespace brisklo {
class BatchSession;
class ConfigStore;

namespace dialogs {
struct DialogEnvironment;
}
namespace ui {
class WindowBase;
}

namespace app {

class ImageListView;
class TaskListView;
class VideoListView;

// What the user does with the rows once they exist: check all, the row menus and
// their actions (parameters, open the output folder, stop or cancel, delete),
// clearing finished rows, help and settings. Runs on the UI thread; the session
// refuses what it must (a running task is not deleted).
class RowActions {
  public:
    RowActions(ui::WindowBase& window, ConfigStore& config, BatchSession& session,
               VideoListView& videos, ImageListView& images,
               dialogs::DialogEnvironment& environment);

    // The chooser the settings dialog asks for a new output folder.
    void SetFolderChooser(dialogs::FolderChooser choose) { m_chooseFolder = std::move(choose); }
    const dialogs::FolderChooser& folderChooser() const { return m_chooseFolder; }
    dialogs::DialogEnvironment& environment() { return m_environment; }

    // Adds "清空已完成" to the lists' context menus and the Delete key.
    void InstallListActions();
    // Called after the settings dialog closes (the output folder may have changed).
    void SetAfterSettings(std::function<void()> afterSettings) {
        m_afterSettings = std::move(afterSettings);
    }
    // Removes the rows whose task finished successfully.
    void ClearFinished(MediaKind kind);
    // The Delete key: removes the finished row that holds the keyboard focus.
    void DeleteFocusedFinished();

    void CheckAll(MediaKind kind, bool checked);
    // The menu of the row whose menu button was clicked.
    void OpenRowMenu(QWidget* menuButton, MediaKind kind);
    void OpenParameters(std::int32_t taskId);
    void OpenOutputFolder(MediaKind kind);
    // Stops the task when it runs, takes it off the waiting list when it waits.
    void Stop(std::int32_t taskId);
    // Deletes the task and its row; a running task is refused with a notice.
    void Delete(std::int32_t taskId);
    void OpenHelp();
    void OpenSettings();

  private:
    TaskListView& ViewOf(MediaKind kind) const;
    void Notice(const QString& text);
    // The task id of the finished row holding the focus in the list, or none.
    std::optional<std::int32_t> FocusedFinished(MediaKind kind) const;
    bool Finished(std::int32_t taskId) const;
    void OpenFolder(const std::filesystem::path& folder);

    ui::WindowBase& m_window;
    ConfigStore& m_config;
    BatchSession& m_session;
    VideoListView& m_videos;
    ImageListView& m_images;
    dialogs::DialogEnvironment& m_environment;
    dialogs::FolderChooser m_chooseFolder = dialogs::DesktopFolderChooser();
    std::function<void()> m_afterSettings;
};

}  // namespace app
}  // namespace brisklo
