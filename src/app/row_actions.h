// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

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

    // The lists' context menus ("移除已完成", "清空列表") and their Delete key.
    void InstallListActions();
    // Called after the settings dialog closes (the output folder may have changed).
    void SetAfterSettings(std::function<void()> afterSettings) {
        m_afterSettings = std::move(afterSettings);
    }
    // Removes the rows whose task finished successfully.
    void ClearFinished(MediaKind kind);
    // Removes every row that does not run; waiting tasks are cancelled first.
    void ClearList(MediaKind kind);
    // The Delete key: removes the selected rows that do not run.
    void DeleteSelected(MediaKind kind);

    void CheckAll(MediaKind kind, bool checked);
    // The menu of the row whose menu button was clicked.
    void OpenRowMenu(QWidget* menuButton, MediaKind kind);
    void OpenParameters(std::int32_t taskId);
    // The folder the task's output went to; before it has one, the output folder
    // the settings give.
    void OpenOutputFolder(std::int32_t taskId, MediaKind kind);
    // The output folder the settings give.
    void OpenOutputFolder(MediaKind kind) { OpenFolder(SettingsOutputFolder(kind)); }
    // Shows the task's output selected in the file manager (its folder when no
    // file manager answers).
    void ShowOutputFile(std::int32_t taskId);
    // Stops the task when it runs, takes it off the waiting list when it waits.
    void Stop(std::int32_t taskId);
    // Deletes the task and its row; a running task is refused with a notice.
    void Delete(std::int32_t taskId);
    void OpenHelp();
    void OpenSettings();

  private:
    TaskListView& ViewOf(MediaKind kind) const;
    void Notice(const QString& text);
    // Removes the rows of the tasks that do not run; a notice when only running
    // ones were asked for.
    void DeleteTasks(MediaKind kind, const std::vector<std::int32_t>& ids);
    // Opens the folder with the desktop's opener; says so in a box when none does.
    void OpenFolder(const std::filesystem::path& folder);
    void CannotOpenFolder(const std::filesystem::path& folder);
    // A one-button box through the dialog environment (which tests answer).
    void Tell(const QString& text);
    // The output folder of the settings, as the row menus of each kind open it.
    std::filesystem::path SettingsOutputFolder(MediaKind kind) const;

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
