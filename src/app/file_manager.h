// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QUrl>
#include <filesystem>
#include <functional>

class QObject;

namespace brisklo::app {

// Shows a file selected in the desktop's file manager, through the freedesktop
// file manager service on the session bus. When no file manager answers, it
// opens the file's folder with openFolder instead, and when that fails too it
// calls failed. The call does not wait: context ends it when destroyed.
void ShowFileInFileManager(QObject* context, const std::filesystem::path& file,
                           std::function<bool(const QUrl&)> openFolder,
                           std::function<void()> failed);

}  // namespace brisklo::app
