// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "dialogs/dialog_environment.h"
#include "net/download_outcome.h"
#include "ui/window_base.h"

namespace brisklo {
class InstallerDownload;
}

namespace brisklo::dialogs {

// Downloads the installer of a newer version with a progress display, opens it
// with the desktop's default handler and ends the program so that the installer
// can replace it. The transfer runs on a thread of its own; "cancel" (or closing
// the window) asks it to stop, and the dialog closes once it has. Cancelling a
// mandatory upgrade ends the program.
class DownloadDialog : public ui::WindowBase {
    Q_OBJECT
  public:
    DownloadDialog(QWidget* owner, std::string downloadUrl, bool mandatory,
                   DialogEnvironment environment);
    // Cancels a download still running and waits for its thread.
    ~DownloadDialog() override;
    // The digest the upgrade reply gave; the file is checked against it before it
    // is opened. Call before create().
    void SetInstallerSha256(std::string sha256) { m_sha256 = std::move(sha256); }

  protected:
    QString skinFile() const override { return QStringLiteral("download.xml"); }
    // Finds the controls and starts the download.
    void initWindow() override;
    void notify(const ui::Notification& notification) override;
    int handleCustomMessage(int number, const std::any& payload, bool& handled) override;
    // The window's close button and Esc cancel like "cancel" does.
    bool onClose() override;

  private:
    void ShowPercent(int percent);
    void Finish(const DownloadOutcome& outcome);
    void Tell(const QString& text);
    bool OpenInstaller(const std::filesystem::path& file);
    void ExitProgram();

    const std::string m_downloadUrl;
    const bool m_mandatory;
    const DialogEnvironment m_environment;
    std::string m_sha256;
    QWidget* m_text = nullptr;
    QWidget* m_slider = nullptr;
    int m_shownPercent = -1;
    bool m_finished = false;
    std::unique_ptr<InstallerDownload> m_download;
};

}  // namespace brisklo::dialogs
