// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "app/task_list_model.h"
#include "app/task_row.h"
#include "app/task_rows_view.h"
#include "video/video_view.h"

namespace brisklo::app {

// One list of the main window: its rows' data, fed by the session's reports, and
// the scrolling view that shows the rows in view. Reports from a worker's thread
// are carried to the UI thread.
class TaskListView : public VideoView {
  public:
    int RowCount() const { return m_model.count(); }
    std::int32_t IdAt(int index) const { return m_model.at(index).id; }
    const TaskRowData* Find(std::int32_t taskId) const { return m_model.Find(taskId); }
    // The widgets of a task's row, scrolled into view; null for an unknown task.
    const TaskRow* Reveal(std::int32_t taskId) { return m_view->Reveal(taskId); }
    QWidget* Row(std::int32_t taskId);
    QWidget* RowAt(int index) { return Row(IdAt(index)); }

    void RemoveRows(std::span<const std::int32_t> ids);
    // The ids of the ticked rows, top to bottom.
    std::vector<std::int32_t> CheckedIds() const;
    void SetAllChecked(bool checked) { m_model.SetAllChecked(checked); }
    std::vector<std::int32_t> SelectedIds() const { return m_view->SelectedIds(); }

    // Where a waiting task stands in its queue.
    void SetQueuePlace(std::function<std::size_t(std::int32_t)> placeOf) {
        m_placeOf = std::move(placeOf);
    }
    // Told after every change of a row's state (the window's batch bar).
    void SetOnStateChange(std::function<void()> changed) { m_changed = std::move(changed); }
    TaskRowsView& view() { return *m_view; }
    TaskListModel& model() { return m_model; }

    void ShowRunning(std::int32_t taskId) override;
    void ShowProgress(std::int32_t taskId, std::optional<int> percent, float speed) override;
    void ShowFinished(std::int32_t taskId, const TaskOutcome& outcome) override;
    void ShowFailed(std::int32_t taskId, const TaskFailure& failure) override;
    void ShowState(std::int32_t taskId, TaskState state) override;

  protected:
    // list: the list's place in the window's layout; the view fills it.
    TaskListView(QWidget* list, QString layout, TaskRowNames names, bool videoRows);
    ~TaskListView() override = default;

    void AddTaskRow(TaskRowData row) { m_model.Append(std::move(row)); }

  private:
    void Present(const TaskRow& row, const TaskRowData& data) const;
    void SetState(std::int32_t taskId, const std::function<void(TaskRowData&)>& change);

    TaskListModel m_model;
    const bool m_videoRows;
    // In the list widget; it goes before the rows it shows.
    std::unique_ptr<TaskRowsView> m_view;
    std::function<std::size_t(std::int32_t)> m_placeOf;
    std::function<void()> m_changed;
};

}  // namespace brisklo::app
