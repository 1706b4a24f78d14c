// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Notices and questions of the row actions, menus and closing. The Chinese texts
// are the source language; translations replace them at run time.
namespace brisklo::app::action_text {

QString NoVideosNotice();       // "请先添加要压缩的文件!"
QString DeleteRefusedNotice();  // "文件正在压缩中,不能删除!"
QString QuitWhileEncoding();    // "正在压缩中,确定要退出吗?"
QString TrayToolTip();          // "BRK视频压缩"
QString ClearFinished();        // "移除已完成"
QString ClearList();            // "清空列表"

}  // namespace brisklo::app::action_text
