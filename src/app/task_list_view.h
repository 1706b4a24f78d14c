// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "app/task_row.h"
#include "core/task_outcome.h"
#include "core/task_state.h"
#include "ui/row_list.h"

namespace brisklo::app {

// What the video and the image list of the main window share: rows built from a
// template with their controls bound once, found by task id.
class TaskListView {
  public:
    int RowCount() const { return m_rows.count(); }
    QWidget* RowAt(int index) const { return m_rows.itemAt(index); }
    // The row of a task, or null when it has none (any more).
    const TaskRow* Find(std::int32_t taskId) const;
    QWidget* Row(std::int32_t taskId) const;
    void RemoveRow(std::int32_t taskId);
    // The ids of the ticked rows, top to bottom.
    std::vector<std::int32_t> CheckedIds() const;

  protected:
    // window: the main window (its thread); list: the list's scroll area.
    TaskListView(QWidget* window, QWidget* list, QString layout, TaskRowNames names,
                 bool videoRows);
    virtual ~TaskListView() = default;

    const TaskRow& AddTaskRow(std::int32_t taskId, const std::string& name,
                              const std::string& fullPath, std::int64_t size);
    // The output's size (the path as its tooltip) and the saving in its colour.
    static void ShowSizeAndSaving(const TaskRow& row, const TaskOutcome& outcome);
    // Waiting: the button ignores the mouse, the texts of an earlier result go.
    // Stopped or cancelled: back to how an idle row looks, its button active.
    void ShowRowState(std::int32_t taskId, TaskState state) const;
    // Failed: the button is active again.
    static void ShowButtonReady(const TaskRow& row);
    // What a list clears of a running or failed row when it goes back to idle.
    virtual void ClearRowStatus(const TaskRow& row) const = 0;

    QPointer<QWidget> m_window;

  private:
    ui::RowList m_rows;
    const QString m_layout;
    const TaskRowNames m_names;
    const bool m_videoRows;
    std::map<std::int32_t, TaskRow> m_bound;
};

}  // namespace brisklo::app
