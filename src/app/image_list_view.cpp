// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/image_list_view.h"

#include "app/row_texts.h"
#include "image/image_task.h"
#include "ui/controls.h"
#include "ui/ui_call.h"

namespace brisklo::app {

ImageListView::ImageListView(QWidget* window, QWidget* list)
    : TaskListView(window, list, QStringLiteral("ImageListContainerElement.xml"),
                   {"imagecheckBox", "imageCompressBtn", "imageMenuBtn"}, /*videoRows=*/false) {}

const TaskRow& ImageListView::AddRow(std::int32_t taskId, const ImageTask& task) {
    return AddTaskRow(taskId, task.fileName, task.fullPath.string(), task.fileSize);
}

void ImageListView::ShowRunning(std::int32_t taskId) {
    if (!m_window) return;
    ui::RunOnUiThread(m_window, [this, taskId] {
        const TaskRow* row = Find(taskId);
        if (!row) return;
        row->progressLabel->setStyleSheet(QString());
        row->progressLabel->show();
        ui::SetText(row->progressLabel, row_text::ImageRunningProgress());
        ui::SetMouseEnabled(row->compressButton, false);
        ui::SetText(row->compressButton, row_text::RunningButton());
    });
}

void ImageListView::ShowFinished(std::int32_t taskId, const TaskOutcome& outcome) {
    const TaskRow* row = Find(taskId);
    if (!row) return;
    row->progressLabel->setStyleSheet(QString());
    row->progressLabel->setToolTip(QString());
    row->progressLabel->show();
    ui::SetText(row->progressLabel,
                outcome.keptOriginal ? row_text::KeptOriginal() : row_text::ImageDoneProgress());
    ui::SetText(row->compressButton, row_text::DoneButton());
    ShowSizeAndSaving(*row, outcome);
    // Done: compress-all passes it by until its box is ticked again.
    ui::SetChecked(row->checkBox, false);
}

void ImageListView::ShowFailed(std::int32_t taskId, const TaskFailure& failure) {
    const TaskRow* row = Find(taskId);
    if (!row) return;
    row->progressLabel->show();
    ui::SetTextColor(row->progressLabel, kFailureColor);
    ui::SetText(row->progressLabel, row_text::ImageFailedProgress());
    row->progressLabel->setToolTip(QString::fromStdString(failure.reason));
    ShowButtonReady(*row);
}

void ImageListView::ShowState(std::int32_t taskId, TaskState state) { ShowRowState(taskId, state); }

void ImageListView::ClearRowStatus(const TaskRow& row) const {
    row.progressLabel->setStyleSheet(QString());
    row.progressLabel->setToolTip(QString());
}

}  // namespace brisklo::app
