#pragma once

#include <QWidget>

namespace brisklo::app {

// Whether a row's task last finished successfully; queueing it again clears the mark.
void MarkFinished(QWidget* row, bool finished);
bool IsFinished(const QWidget* row);

}  // namespace brisklo::app
