// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QScrollArea>
#include <QString>
#include <QVBoxLayout>
#include <QWidget>

namespace brisklo::ui {

// A list of rows built from a row template, kept in a scroll area of a layout.
// Rows are found by name ("item-%d" with the task id).
class RowList {
  public:
    // list: the scroll area (or plain container) named in the window's layout.
    RowList(QWidget* list, QString rowTemplate);

    // Builds a row from the template, names it and appends it.
    QWidget* add(const QString& rowName);
    void remove(QWidget* row);
    int count() const;
    QWidget* itemAt(int index) const;
    QWidget* find(const QString& rowName) const;
    QWidget* container() const { return m_container; }

  private:
    QWidget* m_container;
    QVBoxLayout* m_layout;
    QString m_rowTemplate;
};

QString RowName(int taskId);

}  // namespace brisklo::ui
