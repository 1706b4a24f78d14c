// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/video_list_view.h"

#include "app/row_texts.h"
#include "core/video_task.h"
#include "ui/controls.h"
#include "ui/ui_call.h"

namespace brisklo::app {

QString FormatDuration(double seconds) {
    const int total = seconds > 0 ? static_cast<int>(seconds) : 0;
    return QString::asprintf("%02d:%02d:%02d", total / 3600, total / 60 % 60, total % 60);
}

VideoListView::VideoListView(QWidget* window, QWidget* list)
    : TaskListView(window, list, QStringLiteral("VideoListContainerElement.xml"),
                   {"videocheckBox", "compressBtn", "videoMenuBtn"}, /*videoRows=*/true) {}

const TaskRow& VideoListView::AddRow(std::int32_t taskId, const VideoTask& task,
                                     double durationSeconds) {
    const TaskRow& row = AddTaskRow(taskId, task.fileName, task.fullPath, task.fileSize);
    ui::SetText(row.duration, FormatDuration(durationSeconds));
    return row;
}

void VideoListView::ShowParameterFlag(std::int32_t taskId, bool visible) {
    if (const TaskRow* row = Find(taskId)) row->paramFlag->setVisible(visible);
}

void VideoListView::ShowRunning(std::int32_t taskId) {
    if (!m_window) return;
    ui::RunOnUiThread(m_window, [this, taskId] {
        const TaskRow* row = Find(taskId);
        if (!row) return;
        if (row->progressContainer->isHidden()) {
            row->progressContainer->show();
            row->progressLabel->show();
            row->errorLabel->hide();
        }
        if (row->progressSlider->isHidden()) row->progressSlider->show();
        ui::SetMouseEnabled(row->compressButton, false);
        ui::SetText(row->compressButton, row_text::RunningButton());
    });
}

void VideoListView::ShowProgress(std::int32_t taskId, std::optional<int> percent, float) {
    const TaskRow* row = Find(taskId);
    if (!row) return;
    if (!percent) {
        // The duration is unknown: no percentage rather than a wrong one.
        ui::SetText(row->progressLabel, QString());
        return;
    }
    ui::SetValue(row->progressSlider, *percent);
    ui::SetText(row->progressLabel, QStringLiteral("%1%").arg(*percent));
}

void VideoListView::ShowFinished(std::int32_t taskId, const TaskOutcome& outcome) {
    const TaskRow* row = Find(taskId);
    if (!row) return;
    ui::SetValue(row->progressSlider, 100);
    ui::SetText(row->compressButton, row_text::DoneButton());
    // A kept original says so instead of the percentage; its size and saving (the
    // original's, 0 %) follow as for any result.
    ui::SetText(row->progressLabel,
                outcome.keptOriginal ? row_text::KeptOriginal() : QStringLiteral("100%"));
    // Done: compress-all passes it by until its box is ticked again.
    ui::SetChecked(row->checkBox, false);
    ShowSizeAndSaving(*row, outcome);
    if (!outcome.warning.empty()) {
        // A success on part of the source says so wherever the pointer rests on the row.
        const QString warning = QString::fromStdString(outcome.warning);
        row->sizeLabel->setToolTip(row->sizeLabel->toolTip() + QStringLiteral("\n") + warning);
        row->row->setToolTip(warning);
    }
}

void VideoListView::ShowFailed(std::int32_t taskId, const TaskFailure& failure) {
    const TaskRow* row = Find(taskId);
    if (!row) return;
    row->progressContainer->hide();
    row->progressLabel->hide();
    row->errorLabel->setToolTip(QString::fromStdString(failure.reason));
    row->errorLabel->show();
    ShowButtonReady(*row);
}

void VideoListView::ShowState(std::int32_t taskId, TaskState state) { ShowRowState(taskId, state); }

void VideoListView::ClearRowStatus(const TaskRow& row) const {
    row.progressContainer->hide();
    row.progressLabel->hide();
    row.errorLabel->hide();
}

}  // namespace brisklo::app
