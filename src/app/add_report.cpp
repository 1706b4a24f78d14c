// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/add_report.h"

#include <QCoreApplication>
#include <QStringList>

namespace brisklo::app {
namespace {

QString Tr(const char* source) { return QCoreApplication::translate("MainWindow", source); }

}  // namespace

QString AddReportText(const AddReport& report) {
    QStringList added;
    if (report.videos > 0) {
        added << Tr(QT_TRANSLATE_NOOP("MainWindow", "%1 个视频到“视频压缩”")).arg(report.videos);
    }
    if (report.images > 0) {
        added << Tr(QT_TRANSLATE_NOOP("MainWindow", "%1 张图片到“图片压缩”")).arg(report.images);
    }
    QString text = added.isEmpty()
                       ? Tr(QT_TRANSLATE_NOOP("MainWindow", "没有添加文件。"))
                       : Tr(QT_TRANSLATE_NOOP("MainWindow", "已添加 %1。"))
                             .arg(added.join(Tr(QT_TRANSLATE_NOOP("MainWindow", "，"))));
    QStringList skipped;
    if (report.unsupported > 0) {
        skipped << Tr(QT_TRANSLATE_NOOP("MainWindow", "%1 个不支持的文件")).arg(report.unsupported);
    }
    if (report.alreadyListed > 0) {
        skipped << Tr(QT_TRANSLATE_NOOP("MainWindow", "%1 个已在列表中的文件"))
                       .arg(report.alreadyListed);
    }
    if (report.unreadable > 0) {
        skipped
            << Tr(QT_TRANSLATE_NOOP("MainWindow", "%1 个无法读取的文件")).arg(report.unreadable);
    }
    if (!report.skippedFolders.empty()) {
        skipped << Tr(QT_TRANSLATE_NOOP("MainWindow", "%1 个子文件夹"))
                       .arg(static_cast<int>(report.skippedFolders.size()));
    }
    if (!skipped.isEmpty()) {
        text += Tr(QT_TRANSLATE_NOOP("MainWindow", "跳过 %1。"))
                    .arg(skipped.join(Tr(QT_TRANSLATE_NOOP("MainWindow", "，"))));
    }
    return text;
}

}  // namespace brisklo::app
