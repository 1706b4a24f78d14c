#pragma once

#include <any>
#include <cstdint>
#include <optional>

#include "core/messages.h"
#include "dialogs/output_folder_choice.h"
#include "ui/notification.h"

namespace brisklo {
class ConfigStore;
}

namespace brisklo::app {

class MainWindow;
class OutputFolderBar;

// What the user does with the rows once they exist and with the tray menu:
// check all, the row menus and their actions (parameters, open the output folder,
// compress again, delete), help and settings. Runs on the UI thread; the
// queues refuse what they must (a task that waits or runs is not deleted).
class RowActions {
  public:
    RowActions(MainWindow& window, ConfigStore& config);

    // True when the notification or message was one of these actions.
    bool Notify(const ui::Notification& notification);
    bool Handle(MessageId message, const std::any& payload);

    // The chooser the settings dialog asks for a new output folder.
    void SetFolderChooser(dialogs::FolderChooser choose) { m_chooseFolder = std::move(choose); }
    const dialogs::FolderChooser& folderChooser() const { return m_chooseFolder; }

    // Adds "清空已完成" to the lists' context menus and the Delete key.
    void InstallListActions();
    // The strip refreshed after the settings dialog closes.
    void SetOutputFolderBar(OutputFolderBar* bar);
    // Removes the rows whose task finished successfully (none that waits or runs).
    void ClearFinished(bool video);
    // The Delete key: removes the finished row that holds the keyboard focus.
    void DeleteFocusedFinished();

    void CheckAll(bool video, bool checked);
    void OpenRowMenu(QWidget* menuButton, bool video);
    void OpenParameters(std::int32_t taskId);
    void OpenVideoFolder();
    void OpenImageFolder();
    void CompressVideoAgain(std::int32_t taskId);
    void DeleteVideo(std::int32_t taskId);
    void DeleteImage(std::int32_t taskId);
    void OpenHelp();
    void OpenSettings();

  private:
    void Notice(const QString& text);
    // The task id of the finished row holding the focus in the list, or none.
    std::optional<std::int32_t> FocusedFinished(bool video) const;
    void OpenFolder(const std::filesystem::path& folder);

    MainWindow& m_window;
    ConfigStore& m_config;
    dialogs::FolderChooser m_chooseFolder = dialogs::DesktopFolderChooser();
    OutputFolderBar* m_outputBar = nullptr;
};

}  // namespace brisklo::app
