// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/output_folder_choice.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFileDialog>
#include <cerrno>
#include <random>
#include <string>

#include "core/config_store.h"
#include "core/log.h"
#include "core/unique_fd.h"

namespace brisklo::dialogs {
namespace fs = std::filesystem;

FolderChooser DesktopFolderChooser() {
    return [](QWidget* owner, const QString& title) -> std::optional<fs::path> {
        const QString folder = QFileDialog::getExistingDirectory(owner, title);
        if (folder.isEmpty()) return std::nullopt;
        return fs::path(folder.toStdString());
    };
}

bool FolderAcceptsWrites(const fs::path& folder) {
    // A name of its own each try, made with O_EXCL: a file the user keeps there
    // under the same name is never truncated or removed.
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 8; ++attempt) {
        const fs::path probe = folder / (".briskloTmp-" + std::to_string(random()));
        UniqueFd fd(::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (fd.get() >= 0) {
            fd.reset();
            std::error_code ignored;
            fs::remove(probe, ignored);
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

std::optional<fs::path> ChangeOutputFolder(QWidget* owner, ConfigStore& config,
                                           const FolderChooser& choose, const NoticeBoxes& boxes) {
    if (!choose) return std::nullopt;
    const auto folder = choose(owner, ChooseOutputFolderTitle());
    if (!folder || folder->empty()) return std::nullopt;
    if (!FolderAcceptsWrites(*folder)) {
        LogLine("output folder refused, cannot write in %s\n", folder->c_str());
        if (boxes.tell) boxes.tell(owner, FolderNotWritableNotice());
        return std::nullopt;
    }
    if (!config.Set(Setting::OutputDir, folder->string())) {
        LogLine("cannot store the output folder %s\n", folder->c_str());
    }
    return folder;
}

QString ChooseOutputFolderTitle() {
    return QCoreApplication::translate("SetingDialog",
                                       QT_TRANSLATE_NOOP("SetingDialog", "选择视频目制存放目录"));
}

QString FolderNotWritableNotice() {
    return QCoreApplication::translate("SetingDialog",
                                       QT_TRANSLATE_NOOP("SetingDialog", "该目录没有写入权限!"));
}

}  // namespace brisklo::dialogs
