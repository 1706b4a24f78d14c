#include "dialogs/dialog_texts.h"

#include <QCoreApplication>

namespace brisklo::dialogs {
namespace {

QString Translated(const char* source) {
    return QCoreApplication::translate("Dialogs", source);
}

}  // namespace

QString NewVersionNotice() { return Translated(QT_TRANSLATE_NOOP("Dialogs", "发现新版本啦!")); }

QString NoNewVersionNotice() {
    return Translated(QT_TRANSLATE_NOOP("Dialogs", "没有发现新版本!"));
}

QString InsecureInstallerNotice() {
    return Translated(
        QT_TRANSLATE_NOOP("Dialogs", "安装包的下载地址不安全(只支持 https),已取消下载!"));
}

QString InvalidInstallerNotice() {
    return Translated(QT_TRANSLATE_NOOP("Dialogs", "安装包的下载地址无效,已取消下载!"));
}

QString FeedbackProblemText(FeedbackProblem problem) {
    switch (problem) {
        case FeedbackProblem::EmptyContact:
            return Translated(QT_TRANSLATE_NOOP("Dialogs", "联系方式不能为空!"));
        case FeedbackProblem::EmptyContent:
            break;
    }
    return Translated(QT_TRANSLATE_NOOP("Dialogs", "反馈内容不能为空!"));
}

QString FeedbackNotice(FeedbackOutcome outcome) {
    switch (outcome) {
        case FeedbackOutcome::Submitted:
            return Translated(QT_TRANSLATE_NOOP("Dialogs", "反馈信息已提交!"));
        case FeedbackOutcome::Refused:
            return Translated(QT_TRANSLATE_NOOP("Dialogs", "未知错误"));
        case FeedbackOutcome::NetworkError:
            break;
    }
    return Translated(QT_TRANSLATE_NOOP("Dialogs", "网络错误!"));
}

}  // namespace brisklo::dialogs
