// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/failure_texts.h"

#include <QCoreApplication>

namespace brisklo::app {
namespace {

QString Translated(const char* source) {
    return QCoreApplication::translate("FailureText", source);
}

}  // namespace

QString FailureText(FailureCode code) {
    switch (code) {
        case FailureCode::Stopped:
            return Translated(QT_TRANSLATE_NOOP("FailureText", "已停止"));
        case FailureCode::EncoderMissing:
            return Translated(QT_TRANSLATE_NOOP("FailureText", "找不到编码程序 ffmpeg"));
        case FailureCode::EncoderFailed:
            return Translated(QT_TRANSLATE_NOOP("FailureText", "编码失败"));
        case FailureCode::EncoderStalled:
            return Translated(QT_TRANSLATE_NOOP("FailureText", "编码程序无响应"));
        case FailureCode::ImageFailed:
            return Translated(QT_TRANSLATE_NOOP("FailureText", "图片处理失败"));
        case FailureCode::TimeLimit:
            return Translated(QT_TRANSLATE_NOOP("FailureText", "处理超时"));
        case FailureCode::OutputFailed:
            return Translated(QT_TRANSLATE_NOOP("FailureText", "无法写出结果文件"));
        case FailureCode::TargetUnreachable:
            return Translated(QT_TRANSLATE_NOOP("FailureText", "无法压到目标大小"));
        case FailureCode::SourceMissing:
            return Translated(QT_TRANSLATE_NOOP("FailureText", "源文件不存在"));
        case FailureCode::Unsupported:
            return Translated(QT_TRANSLATE_NOOP("FailureText", "不支持的文件"));
        case FailureCode::Damaged:
            return Translated(QT_TRANSLATE_NOOP("FailureText", "文件已损坏"));
        case FailureCode::NoSpace:
            return Translated(QT_TRANSLATE_NOOP("FailureText", "磁盘空间不足"));
        case FailureCode::NoPermission:
            return Translated(QT_TRANSLATE_NOOP("FailureText", "没有读写权限"));
        case FailureCode::TooLarge:
            return Translated(QT_TRANSLATE_NOOP("FailureText", "文件太大, 无法处理"));
        case FailureCode::Unknown:
            break;
    }
    return Translated(QT_TRANSLATE_NOOP("FailureText", "压缩失败"));
}

QString FailureToolTip(const TaskFailure& failure) {
    QString tip = FailureText(failure.code);
    if (!failure.reason.empty()) tip += QLatin1Char('\n') + QString::fromStdString(failure.reason);
    return tip;
}

}  // namespace brisklo::app
