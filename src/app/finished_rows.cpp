#include "app/finished_rows.h"

namespace brisklo::app {
namespace {
constexpr const char* kFinishedProperty = "finished";
}

void MarkFinished(QWidget* row, bool finished) {
    if (row) row->setProperty(kFinishedProperty, finished);
}

bool IsFinished(const QWidget* row) { return row && row->property(kFinishedProperty).toBool(); }

}  // namespace brisklo::app
