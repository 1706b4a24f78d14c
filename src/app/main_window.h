// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>

#include "app/file_adding.h"
#include "core/media_kinds.h"
#include "core/message_table.h"
#include "dialogs/dialog_environment.h"
#include "ui/window_base.h"

namespace brisklo {
class BatchSession;
class ConfigStore;

namespace dialogs {
class UpgradeCheckRunner;
}

namespace app {

class AddNotice;
class BatchBar;
class DesktopNotice;
class DesktopOptions;
class DurationProbe;
class FileAdding;
class ImageListView;
class OptionBinding;
class RowActions;
class TrayIcon;
class VideoListView;

// The program's main window: the option panels and the two lists, over the batch
// session that compresses their tasks.
class MainWindow : public ui::WindowBase {
    Q_OBJECT
  public:
    MainWindow(ConfigStore& config, std::filesystem::path encoder, QWidget* owner = nullptr);
    ~MainWindow() override;

    // Adds a row of that kind for the file; returns its task id, or -1 when the
    // file cannot be read.
    std::int32_t Add(MediaKind kind, const std::filesystem::path& file);
    // The row button and compress-again: queues the task. Images refuse a bad
    // custom size with its notice.
    void Compress(std::int32_t taskId);
    // Queues every checked row of that list that neither waits nor runs.
    void CompressAll(MediaKind kind);

    // Asks the service for a newer version on a thread of its own and offers it;
    // quiet (at start-up) says nothing when there is none. Built without the
    // online parts (BRISKLO_ONLINE=0), these two do nothing.
    void StartUpgradeCheck(bool quiet);
    bool upgradeCheckBusy() const;
    // The feedback dialog, modal over this window.
    void OpenFeedback();
    // Boxes, desktop and network settings of the upgrade and feedback dialogs.
    dialogs::DialogEnvironment& dialogEnvironment() { return m_dialogEnvironment; }

    // The chooser buttons, drops, the command line and later starts add through it.
    FileAdding& adding() { return *m_adding; }
    // The media kind of the page shown.
    MediaKind shownKind() const;

    BatchSession& session() { return *m_session; }
    VideoListView& videoView() { return *m_videoView; }
    ImageListView& imageView() { return *m_imageView; }
    RowActions& rowActions() { return *m_rowActions; }
    // Null when the desktop has no tray.
    TrayIcon* trayIcon() { return m_tray.get(); }
    // The end-of-batch notice through the desktop's notification service, used
    // when there is no tray icon to show it.
    DesktopNotice& desktopNotice() { return *m_desktopNotice; }

  protected:
    QString skinFile() const override { return QStringLiteral("MainWindow.xml"); }
    void initWindow() override;
    void notify(const ui::Notification& notification) override;
    int handleCustomMessage(int number, const std::any& payload, bool& handled) override;
    void onFinalMessage() override;
    bool onClose() override;
    bool closesOnEscape() const override { return false; }

  private:
    // Adds the task and its row unless the file is listed already.
    std::pair<AddOutcome, std::int32_t> AddTask(MediaKind kind, const std::filesystem::path& file,
                                                const std::filesystem::path& subfolder);
    // The row button: compress, cancel waiting, or show the output once done.
    void RowButton(std::int32_t taskId);
    // The lists' rows hear this window and the session; their changes update the
    // tabs and the hints.
    void WireLists();
    // The tabs' counts and the empty lists' hints, once per burst of changes.
    void UpdateListsSoon();
    void UpdateLists();
    void RouteMessages();
    void RouteClicks();
    void StopWorkers();
    void ShowNotice(const QString& text);
    // When the last task of a batch has ended while the window is not active, a
    // desktop notification says how the batch went.
    void ReportBatchEnd();
    // A bad custom size refuses starting images, with its notice.
    bool RefusedForSize();

    ConfigStore& m_config;
    const std::filesystem::path m_encoder;
    std::unique_ptr<DesktopOptions> m_options;
    std::unique_ptr<OptionBinding> m_binding;
    std::unique_ptr<FileAdding> m_adding;
    std::unique_ptr<DurationProbe> m_durations;
    std::unique_ptr<VideoListView> m_videoView;
    std::unique_ptr<ImageListView> m_imageView;
    dialogs::DialogEnvironment m_dialogEnvironment = dialogs::DialogEnvironment::Default();
#if BRISKLO_ONLINE
    std::unique_ptr<dialogs::UpgradeCheckRunner> m_upgradeCheck;
#endif
    std::unique_ptr<RowActions> m_rowActions;
    std::unique_ptr<TrayIcon> m_tray;
    BatchBar* m_batchBar = nullptr;            // a child of this window
    AddNotice* m_addNotice = nullptr;          // a child of this window
    DesktopNotice* m_desktopNotice = nullptr;  // a child of this window
    std::array<QString, 2> m_tabTexts;         // the tabs' names without their counts
    bool m_listsChanged = false;
    MessageTable m_messages;
    // What a click on a named control does.
    std::map<QString, std::function<void(QWidget* sender)>> m_clicks;
    bool m_quitFromMenu = false;  // the next close request skips "window-close"
    // Last: its workers stop before the views and options they use go.
    std::unique_ptr<BatchSession> m_session;
};

}  // namespace app
}  // namespace brisklo
