// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/task_list_view.h"

#include <QVBoxLayout>

#include "app/row_presenter.h"
#include "ui/ui_call.h"

namespace brisklo::app {

TaskListView::TaskListView(QWidget* list, QString layout, TaskRowNames names, bool videoRows)
    : m_videoRows(videoRows) {
    RowTemplate rowTemplate{
        std::move(layout), names, videoRows,
        [this](const TaskRow& row, const TaskRowData& data) { Present(row, data); }};
    m_view = std::make_unique<TaskRowsView>(m_model, std::move(rowTemplate), list);
    auto* box = qobject_cast<QVBoxLayout*>(list->layout());
    if (!box) box = new QVBoxLayout(list);  // owned by the list
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(m_view.get());
}

void TaskListView::Present(const TaskRow& row, const TaskRowData& data) const {
    const std::size_t place =
        data.state == TaskState::Waiting && m_placeOf ? m_placeOf(data.id) : 0;
    if (m_videoRows) {
        PresentVideoRow(row, data, place);
    } else {
        PresentImageRow(row, data, place);
    }
}

QWidget* TaskListView::Row(std::int32_t taskId) {
    const TaskRow* row = Reveal(taskId);
    return row ? row->row : nullptr;
}

void TaskListView::RemoveRows(std::span<const std::int32_t> ids) { m_model.Remove(ids); }

std::vector<std::int32_t> TaskListView::CheckedIds() const {
    std::vector<std::int32_t> ids;
    for (int i = 0; i < m_model.count(); ++i) {
        if (m_model.at(i).checked) ids.push_back(m_model.at(i).id);
    }
    return ids;
}

void TaskListView::SetState(std::int32_t taskId, const std::function<void(TaskRowData&)>& change) {
    if (!m_model.Update(taskId, change)) return;
    // Every waiting row's place may have moved.
    m_view->RefreshVisibleSoon();
    if (m_changed) m_changed();
}

void TaskListView::ShowRunning(std::int32_t taskId) {
    if (!m_view) return;
    ui::RunOnUiThread(m_view.get(), [this, taskId] {
        SetState(taskId, [](TaskRowData& row) {
            row.state = TaskState::Running;
            row.percent.reset();
        });
        m_view->Follow(taskId);
    });
}

void TaskListView::ShowProgress(std::int32_t taskId, std::optional<int> percent, float) {
    m_model.Update(taskId, [percent](TaskRowData& row) { row.percent = percent; });
}

void TaskListView::ShowFinished(std::int32_t taskId, const TaskOutcome& outcome) {
    SetState(taskId, [&outcome](TaskRowData& row) {
        row.state = outcome.keptOriginal ? TaskState::KeptOriginal : TaskState::Done;
        row.outcome = outcome;
        // Done: compress-all passes it by until its box is ticked again.
        row.checked = false;
    });
}

void TaskListView::ShowFailed(std::int32_t taskId, const TaskFailure& failure) {
    SetState(taskId, [&failure](TaskRowData& row) {
        row.state = TaskState::Failed;
        row.failure = failure;
    });
}

void TaskListView::ShowState(std::int32_t taskId, TaskState state) {
    SetState(taskId, [state](TaskRowData& row) {
        row.state = state;
        row.percent.reset();
        // Queued again: the earlier result goes.
        if (state == TaskState::Waiting) row.outcome.reset();
    });
}

}  // namespace brisklo::app
