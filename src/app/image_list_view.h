// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "app/task_list_view.h"
#include "core/task_view.h"

namespace brisklo {

struct ImageTask;

namespace app {

// The image list of the main window. The dispatcher's calls from its own thread
// are handed to the UI thread without waiting for it.
class ImageListView : public TaskListView, public TaskView {
  public:
    // window: the main window; list: "image-list".
    ImageListView(QWidget* window, QWidget* list);

    const TaskRow& AddRow(std::int32_t taskId, const ImageTask& task);
    void ShowRunning(std::int32_t taskId) override;
    void ShowFinished(std::int32_t taskId, const TaskOutcome& outcome) override;
    void ShowFailed(std::int32_t taskId, const TaskFailure& failure) override;
    void ShowState(std::int32_t taskId, TaskState state) override;

  private:
    void ClearRowStatus(const TaskRow& row) const override;
};

}  // namespace app
}  // namespace brisklo
