// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <cstdint>

#include "app/task_list_view.h"
#include "video/video_view.h"

namespace brisklo {

struct VideoTask;

namespace app {

// The video list of the main window. Calls from the worker's thread are carried
// to the UI thread by the toolkit layer.
class VideoListView : public TaskListView, public VideoView {
  public:
    // window: the main window; list: "videoList".
    VideoListView(QWidget* window, QWidget* list);

    const TaskRow& AddRow(std::int32_t taskId, const VideoTask& task, double durationSeconds);
    void ShowParameterFlag(std::int32_t taskId, bool visible);

    void ShowRunning(std::int32_t taskId) override;
    void ShowProgress(std::int32_t taskId, std::optional<int> percent, float speed) override;
    void ShowFinished(std::int32_t taskId, const TaskOutcome& outcome) override;
    void ShowFailed(std::int32_t taskId, const TaskFailure& failure) override;
    void ShowState(std::int32_t taskId, TaskState state) override;

  private:
    void ClearRowStatus(const TaskRow& row) const override;
};

// "%02d:%02d:%02d" of a duration in seconds; unknown durations show as zero.
QString FormatDuration(double seconds);

}  // namespace app
}  // namespace brisklo
