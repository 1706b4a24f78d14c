// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/image_list_view.h"

#include "image/image_task.h"

namespace brisklo::app {

ImageListView::ImageListView(QWidget* list)
    : TaskListView(list, QStringLiteral("ImageListContainerElement.xml"),
                   {"imagecheckBox", "imageCompressBtn", "imageMenuBtn"}, /*videoRows=*/false) {}

void ImageListView::AddRow(std::int32_t taskId, const ImageTask& task) {
    TaskRowData row;
    row.id = taskId;
    row.name = QString::fromStdString(task.fileName);
    row.fullPath = QString::fromStdString(task.fullPath.string());
    row.size = task.fileSize;
    AddTaskRow(std::move(row));
}

}  // namespace brisklo::app
