#pragma once

#include <filesystem>
#include <memory>

#include "core/task_ids.h"
#include "core/video_task_model.h"
#include "ui/window_base.h"

namespace brisklo {
class ConfigStore;
class VideoCompletion;
class VideoWorker;

namespace app {

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

    VideoTaskModel& videoModel() { return m_videoModel; }
    VideoListView& videoView() { return *m_videoView; }

  protected:
    QString skinFile() const override { return QStringLiteral("MainWindow.xml"); }
    void initWindow() override;
    void notify(const ui::Notification& notification) override;
    int handleCustomMessage(int number, const std::any& payload, bool& handled) override;
    void onFinalMessage() override;
    bool closesOnEscape() const override { return false; }

  private:
    void StopWorkers();

    ConfigStore& m_config;
    const std::filesystem::path m_encoder;
    TaskIdCounter m_ids;
    VideoTaskModel m_videoModel{m_ids};
    std::unique_ptr<VideoListView> m_videoView;
    std::unique_ptr<VideoCompletion> m_videoCompletion;
    std::unique_ptr<VideoWorker> m_videoWorker;  // last: stopped before what it uses goes
};

}  // namespace app
}  // namespace brisklo
