// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QString>
#include <QWidget>

namespace brisklo::app {

// The names of the controls that differ between the video and the image rows.
struct TaskRowNames {
    const char* checkBox;
    const char* compressButton;
    const char* menuButton;
};

// One row of a task list with its controls, looked up once when the row is built.
// The controls every row has are never null; the video-only ones are null in
// image rows.
struct TaskRow {
    QWidget* row = nullptr;
    QWidget* checkBox = nullptr;
    QWidget* compressButton = nullptr;
    QWidget* menuButton = nullptr;
    QLabel* fileName = nullptr;
    QWidget* fileSize = nullptr;
    QWidget* progressLabel = nullptr;
    QWidget* sizeLabel = nullptr;    // "s1Label": the output's size
    QWidget* savingLabel = nullptr;  // "y1Label": the share saved
    QWidget* stateLabel = nullptr;   // waiting, stopped, cancelled
    QWidget* progressContainer = nullptr;
    QWidget* progressSlider = nullptr;
    QWidget* errorLabel = nullptr;
    // Video rows only.
    QWidget* duration = nullptr;
    QWidget* paramFlag = nullptr;

    // Finds the row's controls; a missing one is a ui::SkinError naming the layout
    // and the control.
    static TaskRow Bind(QWidget* row, const QString& layout, const TaskRowNames& names,
                        bool videoRow);
};

}  // namespace brisklo::app
