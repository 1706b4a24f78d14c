// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/file_choosers.h"

#include <QFileDialog>

#include "app/window_texts.h"

namespace brisklo::app {

std::vector<std::filesystem::path> DialogChoosers::ChooseFiles(QWidget* owner, MediaKind kind) {
    // No title and no start folder: the dialog remembers where the user was.
    const QStringList chosen =
        QFileDialog::getOpenFileNames(owner, QString(), QString(), window_text::FileFilter(kind),
                                      nullptr, QFileDialog::HideNameFilterDetails);
    std::vector<std::filesystem::path> files;
    for (const QString& file : chosen) files.emplace_back(file.toStdString());
    return files;
}

std::optional<std::filesystem::path> DialogChoosers::ChooseFolder(QWidget* owner, MediaKind kind) {
    const QString folder = QFileDialog::getExistingDirectory(
        owner, window_text::FolderChooserTitle(kind), QString(), QFileDialog::ShowDirsOnly);
    if (folder.isEmpty()) return std::nullopt;
    return std::filesystem::path(folder.toStdString());
}

}  // namespace brisklo::app
