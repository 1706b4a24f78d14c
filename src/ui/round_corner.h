// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRegion>
#include <QSize>
#include <QWidget>

namespace brisklo::ui {

// The pixels of a size-sized rectangle with its corners rounded by radius
// (at most half the shorter side), row by row.
QRegion RoundedRegion(QSize size, int radius);

// Clips window to RoundedRegion of its size and keeps the clip up to date as it
// resizes. The clip is the window's shape, which its drop shadow follows: call
// this after attaching the shadow, so the clip changes before the shadow sees
// the new size.
void SetRoundCorner(QWidget* window, int radius);

}  // namespace brisklo::ui
