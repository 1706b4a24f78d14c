// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

namespace brisklo::ui {

// What a named control tells its window: the type ("click", "selectchanged",
// "valuechanged", "itemselect", "itemclick") and the sender.
struct Notification {
    QString type;
    QPointer<QWidget> sender;
    QString senderName;
    int value = 0;  // new value, index or check state where the control has one
};

inline const QString kClick = QStringLiteral("click");
inline const QString kSelectChanged = QStringLiteral("selectchanged");
inline const QString kValueChanged = QStringLiteral("valuechanged");
inline const QString kItemSelect = QStringLiteral("itemselect");
inline const QString kItemClick = QStringLiteral("itemclick");

}  // namespace brisklo::ui
