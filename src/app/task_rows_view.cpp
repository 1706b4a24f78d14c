// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/task_rows_view.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <algorithm>
#include <utility>

#include "app/task_list_model.h"
#include "ui/controls.h"
#include "ui/skin.h"

namespace brisklo::app {
namespace {

// Rows built at least, so that a list not yet shown (no height) still has
// widgets for the first tasks.
constexpr int kMinimumSlots = 8;

}  // namespace

TaskRowsView::TaskRowsView(TaskListModel& model, RowTemplate rowTemplate, QWidget* parent)
    : QAbstractScrollArea(parent),
      m_model(model),
      m_template(std::move(rowTemplate)),
      m_selection(&model, this) {
    setObjectName(QStringLiteral("taskRows"));
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    connect(&m_model, &QAbstractItemModel::rowsInserted, this, &TaskRowsView::OnRowsChanged);
    connect(&m_model, &QAbstractItemModel::rowsRemoved, this, &TaskRowsView::OnRowsChanged);
    connect(&m_model, &QAbstractItemModel::modelReset, this, &TaskRowsView::OnRowsChanged);
    connect(&m_model, &QAbstractItemModel::dataChanged, this, &TaskRowsView::OnDataChanged);
    connect(&m_selection, &QItemSelectionModel::selectionChanged, this, [this] {
        for (Slot& slot : m_pool) ShowSelected(slot);
    });
    Grow(1);
    m_rowHeight = std::max(1, std::max(m_pool.front().row.row->minimumHeight(),
                                       m_pool.front().row.row->sizeHint().height()));
}

void TaskRowsView::Grow(int count) {
    while (static_cast<int>(m_pool.size()) < count) {
        QWidget* widget = ui::LoadLayout(m_template.layout, viewport());
        Slot slot;
        slot.row = TaskRow::Bind(widget, m_template.layout, m_template.names, m_template.videoRows);
        widget->hide();
        widget->installEventFilter(this);
        if (auto* box = qobject_cast<QAbstractButton*>(slot.row.checkBox)) {
            // Only the user's clicks: filling a row sets the box without a signal.
            connect(box, &QAbstractButton::clicked, this, [this, box](bool checked) {
                m_model.Update(ui::Tag(box), [checked](auto& row) { row.checked = checked; });
            });
        }
        if (m_rowBuilt) m_rowBuilt(widget);
        m_pool.push_back(slot);
    }
}

void TaskRowsView::OnRowsChanged() {
    UpdateScrollRange();
    if (m_anchor >= m_model.count()) m_anchor = -1;
    ScheduleLayout();
}

void TaskRowsView::OnDataChanged(const QModelIndex& first, const QModelIndex& last) {
    if (m_layoutPending) return;  // the layout fills every row anyway
    for (Slot& slot : m_pool) {
        if (slot.id < 0) continue;
        const int row = m_model.RowOf(slot.id);
        if (row >= first.row() && row <= last.row()) Present(slot);
    }
}

void TaskRowsView::UpdateScrollRange() {
    const int content = m_model.count() * m_rowHeight;
    const int page = viewport()->height();
    verticalScrollBar()->setPageStep(page);
    verticalScrollBar()->setSingleStep(m_rowHeight / 2);
    verticalScrollBar()->setRange(0, std::max(0, content - page));
}

void TaskRowsView::ScheduleLayout() {
    if (m_layoutPending) return;
    m_layoutPending = true;
    QTimer::singleShot(0, this, [this] {
        if (m_layoutPending) LayoutNow();
    });
}

void TaskRowsView::LayoutNow() {
    m_layoutPending = false;
    UpdateScrollRange();
    const int top = verticalScrollBar()->value();
    const int first = top / m_rowHeight;
    const int inView = (viewport()->height() + top % m_rowHeight + m_rowHeight - 1) / m_rowHeight;
    // Never more rows than tasks: an empty list at start-up builds none.
    Grow(std::min(m_model.count(), std::max(inView, kMinimumSlots)));
    const int width = viewport()->width();
    for (std::size_t i = 0; i < m_pool.size(); ++i) {
        Slot& slot = m_pool[i];
        const int row = first + static_cast<int>(i);
        QWidget* widget = slot.row.row;
        if (row >= m_model.count()) {
            slot.id = -1;
            widget->hide();
            continue;
        }
        const std::int32_t id = m_model.at(row).id;
        if (slot.id != id) {
            slot.id = id;
            Present(slot);
        }
        ShowSelected(slot);
        widget->setGeometry(0, row * m_rowHeight - top, width, m_rowHeight);
        widget->show();
    }
}

void TaskRowsView::Present(Slot& slot) {
    if (const TaskRowData* row = m_model.Find(slot.id)) m_template.present(slot.row, *row);
}

void TaskRowsView::ShowSelected(Slot& slot) {
    const int row = slot.id < 0 ? -1 : m_model.RowOf(slot.id);
    const bool selected = row >= 0 && m_selection.isRowSelected(row, {});
    if (selected == slot.selected) return;
    slot.selected = selected;
    QWidget* widget = slot.row.row;
    widget->setProperty("selected", selected);
    widget->style()->unpolish(widget);
    widget->style()->polish(widget);
}

void TaskRowsView::SetRowBuilt(std::function<void(QWidget*)> rowBuilt) {
    m_rowBuilt = std::move(rowBuilt);
    for (const Slot& slot : m_pool) m_rowBuilt(slot.row.row);
}

void TaskRowsView::RefreshVisibleSoon() {
    if (std::exchange(m_refreshPending, true)) return;
    QTimer::singleShot(0, this, [this] {
        m_refreshPending = false;
        if (m_layoutPending) return;  // the layout fills every row anyway
        for (Slot& slot : m_pool) {
            if (slot.id >= 0) Present(slot);
        }
    });
}

TaskRowsView::Slot* TaskRowsView::SlotOf(std::int32_t id) {
    for (Slot& slot : m_pool) {
        if (slot.id == id) return &slot;
    }
    return nullptr;
}

const TaskRow* TaskRowsView::Bound(std::int32_t id) {
    if (m_layoutPending) LayoutNow();
    const Slot* slot = SlotOf(id);
    return slot ? &slot->row : nullptr;
}

const TaskRow* TaskRowsView::Reveal(std::int32_t id) {
    const int row = m_model.RowOf(id);
    if (row < 0) return nullptr;
    ScrollToRow(row);
    LayoutNow();
    return Bound(id);
}

bool TaskRowsView::InView(int row) const {
    const int top = verticalScrollBar()->value();
    return row * m_rowHeight >= top && (row + 1) * m_rowHeight <= top + viewport()->height();
}

void TaskRowsView::ScrollToRow(int row) {
    UpdateScrollRange();
    QScrollBar* bar = verticalScrollBar();
    const int rowTop = row * m_rowHeight;
    if (rowTop < bar->value()) {
        bar->setValue(rowTop);
    } else if (rowTop + m_rowHeight > bar->value() + viewport()->height()) {
        bar->setValue(rowTop + m_rowHeight - viewport()->height());
    }
}

void TaskRowsView::Follow(std::int32_t id) {
    const int row = m_model.RowOf(id);
    if (row < 0) return;
    const int before = m_followed < 0 ? -1 : m_model.RowOf(m_followed);
    // Someone who scrolled elsewhere while the last one ran is left where they are.
    if (before < 0 || InView(before)) ScrollToRow(row);
    m_followed = id;
}

std::vector<std::int32_t> TaskRowsView::SelectedIds() const {
    QModelIndexList rows = m_selection.selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<std::int32_t> ids;
    ids.reserve(static_cast<std::size_t>(rows.size()));
    for (const QModelIndex& index : rows) ids.push_back(m_model.at(index.row()).id);
    return ids;
}

void TaskRowsView::SelectIds(const std::vector<std::int32_t>& ids) {
    QItemSelection selection;
    for (const std::int32_t id : ids) {
        const int row = m_model.RowOf(id);
        if (row >= 0) selection.select(m_model.index(row), m_model.index(row));
    }
    m_selection.select(selection, QItemSelectionModel::ClearAndSelect);
}

void TaskRowsView::Pick(int row, Qt::KeyboardModifiers modifiers) {
    if (row < 0 || row >= m_model.count()) return;
    const QModelIndex index = m_model.index(row);
    if (modifiers & Qt::ShiftModifier && m_anchor >= 0) {
        const int from = std::min(m_anchor, row);
        const int to = std::max(m_anchor, row);
        const QItemSelection range(m_model.index(from), m_model.index(to));
        m_selection.select(range, modifiers & Qt::ControlModifier
                                      ? QItemSelectionModel::Select
                                      : QItemSelectionModel::ClearAndSelect);
    } else if (modifiers & Qt::ControlModifier) {
        m_selection.select(index, QItemSelectionModel::Toggle);
        m_anchor = row;
    } else {
        m_selection.select(index, QItemSelectionModel::ClearAndSelect);
        m_anchor = row;
    }
    m_selection.setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    ScrollToRow(row);
}

void TaskRowsView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    LayoutNow();
}

void TaskRowsView::scrollContentsBy(int, int) { LayoutNow(); }

void TaskRowsView::keyPressEvent(QKeyEvent* event) {
    const int count = m_model.count();
    if (event->matches(QKeySequence::SelectAll)) {
        if (count > 0) {
            m_selection.select(QItemSelection(m_model.index(0), m_model.index(count - 1)),
                               QItemSelectionModel::ClearAndSelect);
        }
        return;
    }
    if (event->key() == Qt::Key_Delete) {
        emit deleteRequested();
        return;
    }
    const int current =
        m_selection.currentIndex().isValid() ? m_selection.currentIndex().row() : -1;
    const int page = std::max(1, viewport()->height() / m_rowHeight);
    int next = -1;
    switch (event->key()) {
        case Qt::Key_Up:
            next = current < 0 ? 0 : current - 1;
            break;
        case Qt::Key_Down:
            next = current + 1;
            break;
        case Qt::Key_PageUp:
            next = std::max(0, current - page);
            break;
        case Qt::Key_PageDown:
            next = std::min(count - 1, current + page);
            break;
        case Qt::Key_Home:
            next = 0;
            break;
        case Qt::Key_End:
            next = count - 1;
            break;
        case Qt::Key_Space:
            if (current >= 0) {
                m_model.Update(m_model.at(current).id,
                               [](auto& row) { row.checked = !row.checked; });
                return;
            }
            break;
        default:
            break;
    }
    if (next >= 0 && next < count) {
        Pick(next, event->modifiers() & Qt::ShiftModifier);
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

bool TaskRowsView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        for (const Slot& slot : m_pool) {
            if (slot.row.row != watched || slot.id < 0) continue;
            Pick(m_model.RowOf(slot.id), static_cast<QMouseEvent*>(event)->modifiers());
            setFocus(Qt::MouseFocusReason);
            return true;  // taken here: the list below would let go of the selection
        }
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

bool TaskRowsView::viewportEvent(QEvent* event) {
    // A click below the last row lets go of the selection.
    if (event->type() == QEvent::MouseButtonPress) {
        m_selection.clearSelection();
        setFocus(Qt::MouseFocusReason);
    }
    return QAbstractScrollArea::viewportEvent(event);
}

}  // namespace brisklo::app
