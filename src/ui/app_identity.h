// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QString>

namespace brisklo::ui {

// The program's reverse-DNS id: the name of its desktop entry, icon and metainfo.
QString AppId();

// The program's own icon, in every size built into the program; null when the
// program was linked without its icon resource.
QIcon AppIcon();

}  // namespace brisklo::ui
