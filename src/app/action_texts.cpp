// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/action_texts.h"

#include <QCoreApplication>

namespace brisklo::app::action_text {
namespace {

QString Translated(const char* source) { return QCoreApplication::translate("MainWindow", source); }

}  // namespace

QString NoVideosNotice() {
    return Translated(QT_TRANSLATE_NOOP("MainWindow", "请先添加要压缩的文件!"));
}
QString DeleteRefusedNotice() {
    return Translated(QT_TRANSLATE_NOOP("MainWindow", "文件正在压缩中,不能删除!"));
}
QString QuitWhileEncoding() {
    return Translated(QT_TRANSLATE_NOOP("MainWindow", "正在压缩中,确定要退出吗?"));
}
QString ClearFinished() { return Translated(QT_TRANSLATE_NOOP("MainWindow", "移除已完成")); }
QString ClearList() { return Translated(QT_TRANSLATE_NOOP("MainWindow", "清空列表")); }
QString TrayToolTip() { return Translated(QT_TRANSLATE_NOOP("MainWindow", "BRK视频压缩")); }

}  // namespace brisklo::app::action_text
