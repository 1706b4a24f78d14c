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

QString TimeLeftText(std::chrono::seconds left) {
    const auto minutes = (left.count() + 59) / 60;
    if (minutes <= 1 && left.count() < 60) {
        return QCoreApplication::translate("MainWindow", "剩余不到 1 分钟");
    }
    if (minutes < 60) {
        return QCoreApplication::translate("MainWindow", "剩余约 %1 分钟").arg(minutes);
    }
    return QCoreApplication::translate("MainWindow", "剩余约 %1 小时 %2 分钟")
        .arg(minutes / 60)
        .arg(minutes % 60);
}

QString BatchProgressText(const BatchTotals& totals, bool paused) {
    const QString separator = QStringLiteral(" · ");
    QString text = QStringLiteral("%1 / %2").arg(totals.finished).arg(totals.total);
    if (totals.saved() > 0) {
        text += separator + QCoreApplication::translate("MainWindow", "已节省 %1")
                                .arg(QString::fromStdString(FormatFileSize(totals.saved())));
    }
    if (paused) {
        text += separator + QCoreApplication::translate("MainWindow", "已暂停");
    } else if (totals.timeLeft) {
        text += separator + TimeLeftText(*totals.timeLeft);
    }
    return text;
}

QString BatchEndedTitle() { return QCoreApplication::translate("MainWindow", "压缩任务已完成"); }

}  // namespace brisklo::app
