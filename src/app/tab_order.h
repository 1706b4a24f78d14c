// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>

class QWidget;

namespace brisklo::app {

// The main window's keyboard order: the two tabs; on each page its options, its
// list and the rows in view top to bottom, then its bottom bar; anything else;
// last the quiet buttons of the top bar (settings, feedback, help). Hidden
// controls (the other page, a hidden button) are passed over by Qt itself. Run
// again whenever rows are built.
void ApplyMainTabOrder(QWidget& window);

// The widgets under container that Tab can reach, in the order of the layout
// files (depth first, as made).
QList<QWidget*> TabStops(QWidget& container);

}  // namespace brisklo::app
