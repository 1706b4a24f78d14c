// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/app_identity.h"

#include <QDirIterator>

namespace brisklo::ui {

QString AppId() { return QStringLiteral(BRISKLO_APP_ID); }

QIcon AppIcon() {
    // The resource holds one PNG per size, as laid out in the icon theme
    // ("16x16/apps/<id>.png" ...); QIcon picks the nearest size when drawing.
    QIcon icon;
    QDirIterator files(QStringLiteral(":/icons"), {AppId() + QStringLiteral(".png")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) icon.addFile(files.next());
    return icon;
}

}  // namespace brisklo::ui
