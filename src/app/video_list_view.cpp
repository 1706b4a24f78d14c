// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/video_list_view.h"

#include "core/video_task.h"

namespace brisklo::app {

QString FormatDuration(double seconds) {
    const int total = seconds > 0 ? static_cast<int>(seconds) : 0;
    return QString::asprintf("%02d:%02d:%02d", total / 3600, total / 60 % 60, total % 60);
}

VideoListView::VideoListView(QWidget* list)
    : TaskListView(list, QStringLiteral("VideoListContainerElement.xml"),
                   {"videocheckBox", "compressBtn", "videoMenuBtn"}, /*videoRows=*/true) {}

void VideoListView::AddRow(std::int32_t taskId, const VideoTask& task) {
    TaskRowData row;
    row.id = taskId;
    row.name = QString::fromStdString(task.fileName);
    row.fullPath = QString::fromStdString(task.fullPath);
    row.size = task.fileSize;
    AddTaskRow(std::move(row));
}

void VideoListView::SetDuration(std::int32_t taskId, double seconds) {
    model().Update(taskId, [seconds](TaskRowData& row) { row.duration = FormatDuration(seconds); });
}

void VideoListView::ShowParameterFlag(std::int32_t taskId, bool visible) {
    model().Update(taskId, [visible](TaskRowData& row) { row.ownParameters = visible; });
}

}  // namespace brisklo::app
