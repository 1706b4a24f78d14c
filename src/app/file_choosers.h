// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <filesystem>
#include <optional>
#include <vector>

#include "core/media_kinds.h"

namespace brisklo::app {

// The two choosers the main window opens to add files: several files of one kind,
// or one folder. The desktop answers with the system's dialogs; tests answer
// themselves.
class FileChoosers {
  public:
    virtual ~FileChoosers() = default;
    // The chosen files in the dialog's order; empty when cancelled.
    virtual std::vector<std::filesystem::path> ChooseFiles(QWidget* owner, MediaKind kind) = 0;
    // The chosen folder, or none when cancelled.
    virtual std::optional<std::filesystem::path> ChooseFolder(QWidget* owner, MediaKind kind) = 0;
};

// QFileDialog's multi-select file dialog and folder dialog.
class DialogChoosers : public FileChoosers {
  public:
    std::vector<std::filesystem::path> ChooseFiles(QWidget* owner, MediaKind kind) override;
    std::optional<std::filesystem::path> ChooseFolder(QWidget* owner, MediaKind kind) override;
};

}  // namespace brisklo::app
