// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMenu>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <optional>

#include "core/messages.h"

namespace brisklo::ui {
class WindowBase;
}

namespace brisklo::app {

// The message a menu item posts to the main window, by the item's name; none
// for a name no menu uses.
std::optional<MessageId> MenuItemMessage(const QString& itemName);

// Builds the menu of a skin layout whose top widget is a QMenu; throws
// ui::SkinError when the layout is missing or is not a menu.
QMenu* LoadMenu(const QString& skinFile, QWidget* parent);

// What a row menu offers for its task.
struct RowMenuRequest {
    std::int32_t taskId = 0;
    bool videoRow = true;
    bool stoppable = false;  // a running or waiting task offers "stop"
    QPoint screenPoint;      // where the click was
    bool waiting = false;    // "stop" reads "cancel waiting"
    bool finished = false;   // a finished task offers to show its output
};

// Opens the menu of a video or image row ("PopMenu.xml", "ImagePopMenu.xml") to
// the left of the point, wholly inside the screen's work area. Each item posts
// its message with the task id to window; the menu deletes itself when closed.
QMenu* OpenRowMenu(ui::WindowBase& window, const RowMenuRequest& request);

// Opens the tray menu ("MainTaskMenu.xml") at the cursor point; its items post
// their messages with no payload.
QMenu* OpenTrayMenu(ui::WindowBase& window, QPoint cursor);

}  // namespace brisklo::app
