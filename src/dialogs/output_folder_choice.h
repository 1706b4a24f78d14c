// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <optional>

#include "dialogs/notice_boxes.h"

namespace brisklo {
class ConfigStore;
}

namespace brisklo::dialogs {

// Asks the user for a folder (title over the chooser); nothing when cancelled.
using FolderChooser =
    std::function<std::optional<std::filesystem::path>(QWidget* owner, const QString& title)>;

// The desktop's folder chooser.
FolderChooser DesktopFolderChooser();

// Whether a file can be made in folder: creates a test file under a name no
// other file has and removes it again. An existing file is never touched.
bool FolderAcceptsWrites(const std::filesystem::path& folder);

// Asks for a new output folder and stores it in "output-dir" when a file can be
// written there; a folder that refuses writes is named in a notice and nothing
// is stored. Returns the stored folder, or nothing.
std::optional<std::filesystem::path> ChangeOutputFolder(QWidget* owner, ConfigStore& config,
                                                        const FolderChooser& choose,
                                                        const NoticeBoxes& boxes);

// "选择视频目制存放目录" and "该目录没有写入权限!".
QString ChooseOutputFolderTitle();
QString FolderNotWritableNotice();

}  // namespace brisklo::dialogs
