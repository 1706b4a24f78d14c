// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "core/media_kinds.h"

namespace brisklo::app {

// Texts of the main window itself and of its choosers. The Chinese texts are the
// source language; translations replace them at run time.
namespace window_text {
QString Title();  // "BRK视频压缩"
// The file chooser's one filter: its description, then the patterns it lists.
QString FileFilter(MediaKind kind);
// "选择视频存放目录" / "选择图片存放目录"
QString FolderChooserTitle(MediaKind kind);
}  // namespace window_text

}  // namespace brisklo::app
