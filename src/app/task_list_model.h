// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractListModel>
#include <cstdint>
#include <functional>
#include <span>
#include <unordered_map>
#include <vector>

#include "app/task_row_data.h"

namespace brisklo::app {

// The rows of one task list, in list order, found by task id. The session's
// reports change them; the list view shows the few that are in view.
class TaskListModel : public QAbstractListModel {
    Q_OBJECT
  public:
    explicit TaskListModel(QObject* parent = nullptr) : QAbstractListModel(parent) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    int count() const { return static_cast<int>(m_rows.size()); }
    const TaskRowData& at(int row) const { return m_rows[static_cast<std::size_t>(row)]; }
    // The row of a task, or -1.
    int RowOf(std::int32_t id) const;
    const TaskRowData* Find(std::int32_t id) const;

    void Append(TaskRowData row);
    // Changes a task's row and tells the views; false when it has none.
    bool Update(std::int32_t id, const std::function<void(TaskRowData&)>& change);
    void SetAllChecked(bool checked);
    // Removes the rows of these tasks (unknown ids are passed over).
    void Remove(std::span<const std::int32_t> ids);
    std::vector<std::int32_t> Ids() const;

  private:
    void Reindex(std::size_t from);

    std::vector<TaskRowData> m_rows;
    std::unordered_map<std::int32_t, std::size_t> m_index;
};

}  // namespace brisklo::app
