// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/task_list_model.h"

#include <algorithm>
#include <unordered_set>

namespace brisklo::app {

int TaskListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant TaskListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count()) return {};
    const TaskRowData& row = at(index.row());
    switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return row.name;
        case Qt::ToolTipRole:
            return row.fullPath;
        case Qt::CheckStateRole:
            return row.checked ? Qt::Checked : Qt::Unchecked;
        case Qt::UserRole:
            return row.id;
        default:
            return {};
    }
}

Qt::ItemFlags TaskListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
}

int TaskListModel::RowOf(std::int32_t id) const {
    const auto at = m_index.find(id);
    return at == m_index.end() ? -1 : static_cast<int>(at->second);
}

const TaskRowData* TaskListModel::Find(std::int32_t id) const {
    const int row = RowOf(id);
    return row < 0 ? nullptr : &at(row);
}

void TaskListModel::Append(TaskRowData row) {
    const int at = count();
    beginInsertRows({}, at, at);
    m_index[row.id] = m_rows.size();
    m_rows.push_back(std::move(row));
    endInsertRows();
}

bool TaskListModel::Update(std::int32_t id, const std::function<void(TaskRowData&)>& change) {
    const int row = RowOf(id);
    if (row < 0) return false;
    change(m_rows[static_cast<std::size_t>(row)]);
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed);
    return true;
}

void TaskListModel::SetAllChecked(bool checked) {
    if (m_rows.empty()) return;
    for (TaskRowData& row : m_rows) row.checked = checked;
    emit dataChanged(index(0), index(count() - 1), {Qt::CheckStateRole});
}

void TaskListModel::Remove(std::span<const std::int32_t> ids) {
    const std::unordered_set<std::int32_t> gone(ids.begin(), ids.end());
    // One model reset for a large removal, row signals for a few.
    if (gone.size() > 32) {
        beginResetModel();
        std::erase_if(m_rows, [&](const TaskRowData& row) { return gone.contains(row.id); });
        m_index.clear();
        Reindex(0);
        endResetModel();
        return;
    }
    for (const std::int32_t id : gone) {
        const int row = RowOf(id);
        if (row < 0) continue;
        beginRemoveRows({}, row, row);
        m_index.erase(id);
        m_rows.erase(m_rows.begin() + row);
        Reindex(static_cast<std::size_t>(row));
        endRemoveRows();
    }
}

std::vector<std::int32_t> TaskListModel::Ids() const {
    std::vector<std::int32_t> ids;
    ids.reserve(m_rows.size());
    for (const TaskRowData& row : m_rows) ids.push_back(row.id);
    return ids;
}

void TaskListModel::Reindex(std::size_t from) {
    for (std::size_t i = from; i < m_rows.size(); ++i) m_index[m_rows[i].id] = i;
}

}  // namespace brisklo::app
