// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/row_list.h"

#include "ui/skin.h"

namespace brisklo::ui {

QString RowName(int taskId) { return QStringLiteral("item-%1").arg(taskId); }

RowList::RowList(QWidget* list, QString rowTemplate) : m_rowTemplate(std::move(rowTemplate)) {
    if (auto* scroll = qobject_cast<QScrollArea*>(list)) {
        scroll->setWidgetResizable(true);
        if (!scroll->widget()) scroll->setWidget(new QWidget(scroll));  // owned by the area
        m_container = scroll->widget();
    } else {
        m_container = list;
    }
    if (m_container->layout() && !qobject_cast<QVBoxLayout*>(m_container->layout())) {
        throw SkinError("the list " + list->objectName().toStdString() +
                        " must hold its rows in a vertical layout");
    }
    m_layout = qobject_cast<QVBoxLayout*>(m_container->layout());
    if (!m_layout) m_layout = new QVBoxLayout(m_container);  // owned by the container
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_layout->addStretch(1);
}

QWidget* RowList::add(const QString& rowName) {
    QWidget* row = LoadLayout(m_rowTemplate, m_container);
    row->setObjectName(rowName);
    m_layout->insertWidget(m_layout->count() - 1, row);  // before the closing stretch
    return row;
}

void RowList::remove(QWidget* row) {
    if (!row) return;
    m_layout->removeWidget(row);
    row->hide();
    row->deleteLater();
}

int RowList::count() const { return m_layout->count() - 1; }

QWidget* RowList::itemAt(int index) const {
    if (index < 0 || index >= count()) return nullptr;
    return m_layout->itemAt(index)->widget();
}

QWidget* RowList::find(const QString& rowName) const {
    for (int i = 0; i < count(); ++i) {
        if (QWidget* row = itemAt(i); row && row->objectName() == rowName) return row;
    }
    return nullptr;
}

}  // namespace brisklo::ui
