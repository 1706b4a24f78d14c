// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/row_texts.h"

#include <QCoreApplication>
#include <array>

#include "core/saving.h"

namespace brisklo::app {
namespace {

QString Translated(const char* source) { return QCoreApplication::translate("MainWindow", source); }

}  // namespace

namespace row_text {
QString RunningButton() { return Translated(QT_TRANSLATE_NOOP("MainWindow", "压缩中")); }
QString DoneButton() { return Translated(QT_TRANSLATE_NOOP("MainWindow", "压缩完成")); }
QString CompressButton() { return Translated(QT_TRANSLATE_NOOP("MainWindow", "压 缩")); }
QString ImageRunningProgress() { return Translated(QT_TRANSLATE_NOOP("MainWindow", "正在压缩")); }
QString ImageDoneProgress() { return Translated(QT_TRANSLATE_NOOP("MainWindow", "完成")); }
QString KeptOriginal() {
    return Translated(QT_TRANSLATE_NOOP("MainWindow", "已是最优，保留原文件"));
}
QString CancelButton() { return Translated(QT_TRANSLATE_NOOP("MainWindow", "取消")); }
QString Waiting(std::size_t place) {
    if (place == 0) return Translated(QT_TRANSLATE_NOOP("MainWindow", "等待中"));
    return Translated(QT_TRANSLATE_NOOP("MainWindow", "等待中 (第 %1 个)"))
        .arg(static_cast<qulonglong>(place));
}
QString Stopped() { return Translated(QT_TRANSLATE_NOOP("MainWindow", "已停止")); }
QString Cancelled() { return Translated(QT_TRANSLATE_NOOP("MainWindow", "已取消")); }
QString SelectName(const QString& fileName) {
    return Translated(QT_TRANSLATE_NOOP("MainWindow", "选择 %1")).arg(fileName);
}
QString MoreActionsName(const QString& fileName) {
    return Translated(QT_TRANSLATE_NOOP("MainWindow", "%1 的更多操作")).arg(fileName);
}
}  // namespace row_text

QString SavingFigure(const TaskOutcome& outcome) {
    if (!outcome.saving) return {};
    return QString::fromStdString(SavingText(*outcome.saving));
}

std::uint32_t SavingFigureColor(const TaskOutcome& outcome) {
    return outcome.saving && *outcome.saving < 0.0f ? kGrowthColor : kSavingColor;
}

QString NoImagesNotice() { return Translated(QT_TRANSLATE_NOOP("MainWindow", "请先添加文件!")); }

QString SizeProblemNotice(SizeFieldProblem problem) {
    // By problem: empty width, width not a number, empty height, height not a number.
    static constexpr std::array<const char*, 4> kNotices = {
        QT_TRANSLATE_NOOP("MainWindow", "请输入图片的宽度!"),
        QT_TRANSLATE_NOOP("MainWindow", "图片宽度必须为数字!"),
        QT_TRANSLATE_NOOP("MainWindow", "请输入图片的高度!"),
        QT_TRANSLATE_NOOP("MainWindow", "图片高度必须为数字!")};
    return Translated(kNotices[static_cast<std::size_t>(problem)]);
}

}  // namespace brisklo::app
