#pragma once

#include <filesystem>
#include <memory>

#include "app/batch_tally.h"
#include "core/media_kinds.h"
#include "core/task_ids.h"
#include "core/video_task_model.h"
#include "dialogs/dialog_environment.h"
#include "image/image_size_check.h"
#include "image/image_task.h"
#include "ui/window_base.h"

namespace brisklo {
class ConfigStore;
class ImageCompletion;
class ImageDispatcher;
class VideoCompletion;
class VideoWorker;

namespace dialogs {
class UpgradeCheckRunner;
}

namespace app {

class DesktopOptions;
class DurationProbe;
class FileAdding;
class ImageListView;
class OptionBinding;
class RowActions;
class TrayIcon;
class VideoListView;

// The program's main window: the option panels, the video list and the
// bookkeeping the video worker shares with it.
class MainWindow : public ui::WindowBase {
    Q_OBJECT
  public:
    MainWindow(ConfigStore& config, std::filesystem::path encoder, QWidget* owner = nullptr);
    ~MainWindow() override;

    // Adds a video row for the file; returns its task id, or -1 when the file
    // cannot be read.
    std::int32_t AddVideo(const std::filesystem::path& file);
    // The row button's action: queue the task for the video worker.
    void CompressVideo(std::int32_t taskId);
    // Queues every checked video row that is not waiting or running.
    void CompressAllVideos();
    // Stops the task's running encode; false when it is not running.
    bool StopVideo(std::int32_t taskId);
    bool StopImage(std::int32_t taskId);

    // Adds an image row for the file; returns its task id, or -1 when the file
    // cannot be read.
    std::int32_t AddImage(const std::filesystem::path& file);
    // The image row button and compress-again: queue one image task. A bad custom
    // size is refused with its notice.
    void CompressImage(std::int32_t taskId);
    // Queues every checked image row that is not waiting or running.
    void CompressAllImages();

    // Asks the service for a newer version on a thread of its own and offers it;
    // quiet (at start-up) says nothing when there is none.
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

    VideoTaskModel& videoModel() { return m_videoModel; }
    VideoListView& videoView() { return *m_videoView; }
    ImageTaskList& imageTasks() { return m_imageTasks; }
    ImageListView& imageView() { return *m_imageView; }
    RowActions& rowActions() { return *m_rowActions; }
    // Null when the desktop has no tray.
    TrayIcon* trayIcon() { return m_tray.get(); }

  protected:
    QString skinFile() const override { return QStringLiteral("MainWindow.xml"); }
    void initWindow() override;
    void notify(const ui::Notification& notification) override;
    int handleCustomMessage(int number, const std::any& payload, bool& handled) override;
    void onFinalMessage() override;
    bool onClose() override;
    bool closesOnEscape() const override { return false; }

  private:
    void StopWorkers();
    // The custom size option and fields as they are now (UI thread).
    CustomSizeFields ReadSizeFields() const;
    void ShowNotice(const QString& text);
    // When the last task of a batch has ended while the window is not active, a
    // desktop notification says how the batch went.
    void ReportBatchEnd();
    // A bad custom size refuses starting images, with its notice.
    bool RefusedForSize();

    ConfigStore& m_config;
    const std::filesystem::path m_encoder;
    TaskIdCounter m_ids;
    VideoTaskModel m_videoModel{m_ids};
    ImageTaskList m_imageTasks{m_ids};
    std::unique_ptr<DesktopOptions> m_options;
    std::unique_ptr<OptionBinding> m_binding;
    std::unique_ptr<FileAdding> m_adding;
    std::unique_ptr<DurationProbe> m_durations;
    std::unique_ptr<VideoListView> m_videoView;
    std::unique_ptr<VideoCompletion> m_videoCompletion;
    dialogs::DialogEnvironment m_dialogEnvironment = dialogs::DialogEnvironment::Default();
    std::unique_ptr<dialogs::UpgradeCheckRunner> m_upgradeCheck;
    std::unique_ptr<ImageListView> m_imageView;
    std::unique_ptr<ImageDispatcher> m_images;
    std::unique_ptr<ImageCompletion> m_imageCompletion;
    std::unique_ptr<RowActions> m_rowActions;
    std::unique_ptr<TrayIcon> m_tray;
    BatchTally m_tally;
    bool m_quitFromMenu = false;                 // the next close request skips "window-close"
    std::unique_ptr<VideoWorker> m_videoWorker;  // last: stopped before what it uses goes
};

}  // namespace app
}  // namespace brisklo
