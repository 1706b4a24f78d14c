// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/batch_summary.h"

#include <QCoreApplication>

#include "core/file_utils.h"
#include "core/saving.h"

namespace brisklo::app {

QString BatchSummaryText(const BatchTotals& totals) {
    QString text = QCoreApplication::translate("MainWindow", "%1 个成功, %2 个失败")
                       .arg(totals.succeeded)
                       .arg(totals.failed);
    if (const auto saving = ComputeSaving(totals.bytesIn, totals.bytesOut)) {
        const std::int64_t saved = totals.saved();
        text += QCoreApplication::translate("MainWindow", ", 共节省 %1 (%2)")
                    .arg(QString::fromStdString(FormatFileSize(saved > 0 ? saved : 0)),
                         QString::fromStdString(SavingText(*saving)));
    }
    return text;
}

QString BatchEndedTitle() { return QCoreApplication::translate("MainWindow", "压缩任务已完成"); }

}  // namespace brisklo::app
