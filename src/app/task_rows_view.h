// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractScrollArea>
#include <QItemSelectionModel>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "app/task_row.h"

namespace brisklo::app {

class TaskListModel;
struct TaskRowData;

// How the rows of a list are made: the row layout, its control names, and what
// fills a row's widgets from its data.
struct RowTemplate {
    QString layout;
    TaskRowNames names;
    bool videoRows = true;
    std::function<void(const TaskRow&, const TaskRowData&)> present;
};

// A scrolling list of task rows that builds widgets only for the rows in view:
// a few rows made from the row layout are moved and refilled as the list
// scrolls, so ten thousand tasks cost ten thousand records, not widgets. Rows
// are selected with the mouse (Ctrl, Shift) and the keys (arrows, Home, End,
// pages, Ctrl+A).
class TaskRowsView : public QAbstractScrollArea {
    Q_OBJECT
  public:
    TaskRowsView(TaskListModel& model, RowTemplate rowTemplate, QWidget* parent);

    // Called once for every row widget the list builds (to hear its controls).
    void SetRowBuilt(std::function<void(QWidget*)> rowBuilt);

    // The widgets showing a task when it is in view, or null. Reveal scrolls it
    // into view first.
    const TaskRow* Bound(std::int32_t id);
    const TaskRow* Reveal(std::int32_t id);
    // Keeps a task that has started in view, unless the user has scrolled away
    // from the one that ran before it.
    void Follow(std::int32_t id);
    // Refills every row in view (the waiting places change as the queue moves),
    // once the events of the moment are handled.
    void RefreshVisibleSoon();

    std::vector<std::int32_t> SelectedIds() const;
    void SelectIds(const std::vector<std::int32_t>& ids);
    QItemSelectionModel& selection() { return m_selection; }
    int rowHeight() const { return m_rowHeight; }

  signals:
    // The Delete key, with the selected rows.
    void deleteRequested();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool viewportEvent(QEvent* event) override;

  private:
    struct Slot {
        TaskRow row;
        std::int32_t id = -1;
        bool selected = false;
    };

    void OnRowsChanged();
    void OnDataChanged(const QModelIndex& first, const QModelIndex& last);
    void UpdateScrollRange();
    // Places and fills the rows in view; deferred to the event loop after a
    // change, done at once when a caller needs the widgets.
    void ScheduleLayout();
    void LayoutNow();
    void Grow(int count);
    void Present(Slot& slot);
    void ShowSelected(Slot& slot);
    bool InView(int row) const;
    void ScrollToRow(int row);
    // A click or key on a row: the current row moves and the selection follows.
    void Pick(int row, Qt::KeyboardModifiers modifiers);
    Slot* SlotOf(std::int32_t id);

    TaskListModel& m_model;
    RowTemplate m_template;
    QItemSelectionModel m_selection;
    std::function<void(QWidget*)> m_rowBuilt;
    std::vector<Slot> m_pool;
    int m_rowHeight = 56;
    int m_anchor = -1;  // where a Shift selection starts
    std::int32_t m_followed = -1;
    bool m_layoutPending = false;
    bool m_refreshPending = false;
};

}  // namespace brisklo::app
