// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <cstdint>

#include "app/task_list_view.h"

namespace brisklo {

struct VideoTask;

namespace app {

// The video list of the main window.
class VideoListView : public TaskListView {
  public:
    // list: "videoList".
    explicit VideoListView(QWidget* list);

    void AddRow(std::int32_t taskId, const VideoTask& task);
    void SetDuration(std::int32_t taskId, double seconds);
    void ShowParameterFlag(std::int32_t taskId, bool visible);
};

// "%02d:%02d:%02d" of a duration in seconds; unknown durations show as zero.
QString FormatDuration(double seconds);

}  // namespace app
}  // namespace brisklo
