// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>

#include "ui/controls.h"

namespace brisklo::test {

// The control of a list row by name, and its text.
inline QWidget* SubControl(QWidget* row, const char* name) {
    return ui::FindSubControl(row, QString::fromLatin1(name));
}
inline QString Sub(QWidget* row, const char* name) { return ui::Text(SubControl(row, name)); }

}  // namespace brisklo::test
