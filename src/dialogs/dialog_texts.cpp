// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/dialog_texts.h"

#include <QCoreApplication>
#include <array>

namespace brisklo::dialogs {
namespace {

QString Translated(const char* source) { return QCoreApplication::translate("Dialogs", source); }

}  // namespace

QString NewVersionNotice() { return Translated(QT_TRANSLATE_NOOP("Dialogs", "发现新版本啦!")); }

QString NoNewVersionNotice() { return Translated(QT_TRANSLATE_NOOP("Dialogs", "没有发现新版本!")); }

QString InsecureInstallerNotice() {
    return Translated(
        QT_TRANSLATE_NOOP("Dialogs", "安装包的下载地址不安全(只支持 https),已取消下载!"));
}

QString InvalidInstallerNotice() {
    return Translated(QT_TRANSLATE_NOOP("Dialogs", "安装包的下载地址无效,已取消下载!"));
}

QString UpgradeCheckFailedNotice(const QString& detail) {
    return Translated(QT_TRANSLATE_NOOP("Dialogs", "检查更新失败, 请检查网络连接后再试。\n%1"))
        .arg(detail);
}

QString NoFolderOpenerNotice(const QString& folder) {
    return Translated(QT_TRANSLATE_NOOP("Dialogs",
                                        "无法打开文件夹 %1: 没有找到能打开它的程序 "
                                        "(xdg-open 或文件管理器)。"))
        .arg(folder);
}

QString NoPageOpenerNotice(const QString& address) {
    return Translated(QT_TRANSLATE_NOOP("Dialogs",
                                        "无法打开网页 %1: 没有找到能打开它的程序 "
                                        "(xdg-open 或网页浏览器)。"))
        .arg(address);
}

QString FeedbackProblemText(FeedbackProblem problem) {
    return problem == FeedbackProblem::EmptyContact
               ? Translated(QT_TRANSLATE_NOOP("Dialogs", "联系方式不能为空!"))
               : Translated(QT_TRANSLATE_NOOP("Dialogs", "反馈内容不能为空!"));
}

QString FeedbackNotice(FeedbackOutcome outcome) {
    // By outcome: submitted, refused, network error.
    static constexpr std::array<const char*, 3> kNotices = {
        QT_TRANSLATE_NOOP("Dialogs", "反馈信息已提交!"), QT_TRANSLATE_NOOP("Dialogs", "未知错误"),
        QT_TRANSLATE_NOOP("Dialogs", "网络错误!")};
    return Translated(kNotices[static_cast<std::size_t>(outcome)]);
}

}  // namespace brisklo::dialogs
