// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>
#include <functional>

namespace brisklo::dialogs {

// How the dialogs ask the user a yes/no question and tell them something. The
// program's own boxes plug in here; tests answer and record through it.
struct NoticeBoxes {
    // Shows a two-button question owned by owner; 1 for confirm, 0 for cancel.
    std::function<int(QWidget* owner, const QString& text)> ask;
    // Shows a one-button notice owned by owner and returns when it is closed.
    std::function<void(QWidget* owner, const QString& text)> tell;
};

// The program's own two-button and one-button boxes.
NoticeBoxes DefaultNoticeBoxes();

}  // namespace brisklo::dialogs
