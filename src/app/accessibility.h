// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace brisklo::app {

// Installs what assistive technology needs beyond Qt's own interfaces: the main
// window is a frame (not the dialog its base class would make it), and the pop-up
// menus that are open (row and tray menus) are children of the application, so a
// screen reader walking the tree finds them and their named items. Qt leaves
// pop-up windows out of the application's children. Call before the
// QApplication is made, so no interface is created without it.
void InstallAccessibility();

}  // namespace brisklo::app
