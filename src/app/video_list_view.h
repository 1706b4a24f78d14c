#pragma once

#include <QPointer>
#include <QWidget>
#include <atomic>
#include <memory>

#include "ui/row_list.h"
#include "video/video_view.h"

namespace brisklo {

struct VideoTask;

namespace app {

// The video list of the main window: one row per task, and the option controls
// the video worker reads when a task starts. Calls from the worker's thread are
// carried to the UI thread by the toolkit layer.
class VideoListView : public VideoView {
  public:
    // window: the main window (its option controls and its thread); list: "videoList".
    VideoListView(QWidget* window, QWidget* list);

    QWidget* AddRow(std::int32_t taskId, const VideoTask& task, double durationSeconds);
    QWidget* Row(std::int32_t taskId) const;
    void RemoveRow(std::int32_t taskId);
    int RowCount() const { return m_rows.count(); }
    QWidget* RowAt(int index) const { return m_rows.itemAt(index); }
    // Queued by its button or the compress-all action: the button ignores the mouse.
    void ShowWaiting(std::int32_t taskId);
    void ShowParameterFlag(std::int32_t taskId, bool visible);

    // After this, reads from the worker give up instead of waiting for the UI thread.
    void Close() { m_closing = true; }

    void ShowRunning(std::int32_t taskId) override;
    VideoOptionValues ReadOptions() override;
    void ShowProgress(std::int32_t taskId, std::optional<int> percent, float speed) override;
    void ShowFinished(std::int32_t taskId, const VideoResult& result) override;
    void ShowFailed(std::int32_t taskId, const std::string& reason) override;

  private:
    QPointer<QWidget> m_window;
    ui::RowList m_rows;
    std::atomic<bool> m_closing{false};
};

// "%02d:%02d:%02d" of a duration in seconds; unknown durations show as zero.
QString FormatDuration(double seconds);

}  // namespace app
}  // namespace brisklo
