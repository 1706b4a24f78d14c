// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace brisklo::app {

// Which way a menu opens from the point it belongs to.
enum class MenuSide {
    LeftOfPoint,   // row menus: the menu's top-right corner at the point
    RightOfPoint,  // the tray menu: top-left at the point, opening upward near the bottom
};

// The top-left corner of a menu of size opened at point so that it lies wholly in
// area (the work area of the point's screen). A menu larger than the area starts
// at the area's top or left edge.
QPoint MenuTopLeft(QSize size, QPoint point, QRect area, MenuSide side);

}  // namespace brisklo::app
