// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/menu_placement.h"

#include <algorithm>

namespace brisklo::app {
namespace {

// Start pushed back inside [low, high + 1 - length]; the low edge wins when the
// length does not fit.
int Clamp(int start, int length, int low, int high) {
    return std::max(low, std::min(start, high + 1 - length));
}

}  // namespace

QPoint MenuTopLeft(QSize size, QPoint point, QRect area, MenuSide side) {
    int x = side == MenuSide::LeftOfPoint ? point.x() - size.width() : point.x();
    int y = point.y();
    // Near the bottom the tray menu opens upward from the point rather than being
    // pushed over it.
    if (side == MenuSide::RightOfPoint && y + size.height() - 1 > area.bottom() &&
        size.height() < area.height()) {
        y = point.y() - size.height();
    }
    x = Clamp(x, size.width(), area.left(), area.right());
    y = Clamp(y, size.height(), area.top(), area.bottom());
    return {x, y};
}

}  // namespace brisklo::app
