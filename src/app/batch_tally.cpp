#include "app/batch_tally.h"

#include <QCoreApplication>
#include <utility>

#include "core/file_utils.h"
#include "core/saving.h"

namespace brisklo::app {

void BatchTally::Succeeded(const TaskOutcome& outcome) {
    ++m_summary.succeeded;
    m_summary.sourceBytes += outcome.sourceSize;
    m_summary.outputBytes += outcome.outputSize;
}

BatchSummary BatchTally::Take() { return std::exchange(m_summary, {}); }

QString BatchSummaryText(const BatchSummary& summary) {
    QString text = QCoreApplication::translate("MainWindow", "%1 个成功, %2 个失败")
                       .arg(summary.succeeded)
                       .arg(summary.failed);
    if (const auto saving = ComputeSaving(summary.sourceBytes, summary.outputBytes)) {
        const std::int64_t saved = summary.sourceBytes - summary.outputBytes;
        text += QCoreApplication::translate("MainWindow", ", 共节省 %1 (%2)")
                    .arg(QString::fromStdString(FormatFileSize(saved > 0 ? saved : 0)),
                         QString::fromStdString(SavingText(*saving)));
    }
    return text;
}

QString BatchEndedTitle() { return QCoreApplication::translate("MainWindow", "压缩任务已完成"); }

}  // namespace brisklo::app
