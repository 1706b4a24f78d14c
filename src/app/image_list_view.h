// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "app/task_list_view.h"

namespace brisklo {

struct ImageTask;

namespace app {

// The image list of the main window.
class ImageListView : public TaskListView {
  public:
    // list: "image-list".
    explicit ImageListView(QWidget* list);

    void AddRow(std::int32_t taskId, const ImageTask& task);
};

}  // namespace app
}  // namespace brisklo
