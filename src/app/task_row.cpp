// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/task_row.h"

#include "ui/controls.h"
#include "ui/skin.h"

namespace brisklo::app {
namespace {

QWidget* Need(QWidget* row, const QString& layout, const char* name) {
    QWidget* control = ui::FindSubControl(row, QString::fromLatin1(name));
    if (!control) {
        throw ui::SkinError(
            (layout + QStringLiteral(" has no control named ") + QString::fromLatin1(name))
                .toStdString());
    }
    return control;
}

}  // namespace

TaskRow TaskRow::Bind(QWidget* row, const QString& layout, const TaskRowNames& names,
                      bool videoRow) {
    TaskRow bound;
    bound.row = row;
    bound.checkBox = Need(row, layout, names.checkBox);
    bound.compressButton = Need(row, layout, names.compressButton);
    bound.menuButton = Need(row, layout, names.menuButton);
    bound.fileName = qobject_cast<QLabel*>(Need(row, layout, "fileNameLabel"));
    if (!bound.fileName) {
        throw ui::SkinError(
            (layout + QStringLiteral(": fileNameLabel is not a label")).toStdString());
    }
    bound.fileSize = Need(row, layout, "fileSizeLabel");
    bound.progressLabel = Need(row, layout, "progress-label");
    bound.sizeLabel = Need(row, layout, "s1Label");
    bound.savingLabel = Need(row, layout, "y1Label");
    bound.stateLabel = Need(row, layout, "stateLabel");
    bound.progressContainer = Need(row, layout, "progress-container");
    bound.progressSlider = Need(row, layout, "progress-slider");
    bound.errorLabel = Need(row, layout, "errorLabel");
    if (videoRow) {
        bound.duration = Need(row, layout, "durationLabel");
        bound.paramFlag = Need(row, layout, "paramFlag");
    }
    return bound;
}

}  // namespace brisklo::app
