// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace brisklo::ui {
class WindowBase;
}

namespace brisklo::app {

// The main window's keys: Ctrl+O adds files and Ctrl+Shift+O a folder to the
// page shown, Ctrl+1 and Ctrl+2 show the two pages, Ctrl+Return starts every
// checked task of the page shown, Ctrl+Q quits as the tray menu's quit item does.
// Each key presses the control that does the same, so both take one road.
void AddShortcuts(ui::WindowBase* window);

}  // namespace brisklo::app
