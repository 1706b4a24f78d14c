// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/task_list_view.h"

#include "app/row_texts.h"
#include "core/file_utils.h"
#include "ui/controls.h"

namespace brisklo::app {

TaskListView::TaskListView(QWidget* window, QWidget* list, QString layout, TaskRowNames names,
                           bool videoRows)
    : m_window(window),
      m_rows(list, layout),
      m_layout(std::move(layout)),
      m_names(names),
      m_videoRows(videoRows) {}

const TaskRow& TaskListView::AddTaskRow(std::int32_t taskId, const std::string& name,
                                        const std::string& fullPath, std::int64_t size) {
    QWidget* widget = m_rows.add(ui::RowName(taskId));
    TaskRow row;
    try {
        row = TaskRow::Bind(widget, m_layout, m_names, m_videoRows);
    } catch (...) {
        m_rows.remove(widget);
        throw;
    }
    row.Fill(taskId, name, fullPath, size);
    return m_bound[taskId] = row;
}

const TaskRow* TaskListView::Find(std::int32_t taskId) const {
    const auto at = m_bound.find(taskId);
    return at == m_bound.end() ? nullptr : &at->second;
}

QWidget* TaskListView::Row(std::int32_t taskId) const {
    const TaskRow* row = Find(taskId);
    return row ? row->row : nullptr;
}

void TaskListView::RemoveRow(std::int32_t taskId) {
    const auto at = m_bound.find(taskId);
    if (at == m_bound.end()) return;
    m_rows.remove(at->second.row);
    m_bound.erase(at);
}

std::vector<std::int32_t> TaskListView::CheckedIds() const {
    std::vector<std::int32_t> ids;
    for (int i = 0; i < m_rows.count(); ++i) {
        const std::int32_t id = ui::Tag(m_rows.itemAt(i));
        if (const TaskRow* row = Find(id); row && ui::IsChecked(row->checkBox)) ids.push_back(id);
    }
    return ids;
}

void TaskListView::ShowRowState(std::int32_t taskId, TaskState state) const {
    const TaskRow* row = Find(taskId);
    if (!row) return;
    ui::SetMouseEnabled(row->compressButton, false);
    for (QWidget* emptied : {row->progressLabel, row->sizeLabel, row->savingLabel}) {
        ui::SetText(emptied, QString());
    }
    if (row->progressSlider) ui::SetValue(row->progressSlider, 0);
    if (state == TaskState::Waiting) return;
    ClearRowStatus(*row);
    ShowButtonReady(*row);
}

void TaskListView::ShowButtonReady(const TaskRow& row) {
    ui::SetText(row.compressButton, row_text::CompressButton());
    ui::SetMouseEnabled(row.compressButton, true);
}

void TaskListView::ShowSizeAndSaving(const TaskRow& row, const TaskOutcome& outcome) {
    ui::SetText(row.sizeLabel, QString::fromStdString(FormatFileSize(outcome.outputSize)));
    row.sizeLabel->setToolTip(QString::fromStdString(outcome.outputPath.string()));
    ui::SetTextColor(row.savingLabel, SavingFigureColor(outcome));
    ui::SetText(row.savingLabel, SavingFigure(outcome));
}

}  // namespace brisklo::app
