// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/download_dialog.h"

#include <QFile>

#include "dialogs/dialog_texts.h"
#include "net/installer_download.h"
#include "ui/controls.h"

namespace brisklo::dialogs {
namespace {

// Messages the download thread posts to the dialog.
enum DownloadMessage : int {
    kProgressMessage = 1,  // payload: int, the new percentage
    kFinishedMessage = 2,  // payload: DownloadOutcome
};

}  // namespace

DownloadDialog::DownloadDialog(QWidget* owner, std::string downloadUrl, bool mandatory,
                               DialogEnvironment environment)
    : ui::WindowBase(owner),
      m_downloadUrl(std::move(downloadUrl)),
      m_mandatory(mandatory),
      m_environment(std::move(environment)) {}

// m_download's destructor cancels and joins before the post box is detached.
DownloadDialog::~DownloadDialog() = default;

void DownloadDialog::initWindow() {
    control(QStringLiteral("cancel"));
    m_text = control(QStringLiteral("download-text"));
    m_slider = control(QStringLiteral("download-slider"));
    ShowPercent(0);

    DownloadRequest request;
    request.url = m_downloadUrl;
    request.sha256 = m_sha256;
    request.folder = m_environment.downloadFolder;
    request.caFile = m_environment.http.caFile;
    request.connectTimeout = m_environment.http.connectTimeout;
    m_download = std::make_unique<InstallerDownload>(std::move(request));
    // Both callbacks run on the download thread; the post box hands their news to
    // this window's thread and drops it once the window is gone.
    const std::shared_ptr<ui::PostBox> box = postBox();
    const bool started = m_download->Start(
        [box](int percent) { box->Post(kProgressMessage, percent); },
        [box](const DownloadOutcome& outcome) { box->Post(kFinishedMessage, outcome); });
    if (!started) {
        DownloadOutcome outcome;
        outcome.status = DownloadStatus::NetworkError;
        outcome.reason = "the download thread could not be started";
        post(kFinishedMessage, outcome);
    }
}

void DownloadDialog::notify(const ui::Notification& n) {
    if (n.type == ui::kClick && n.senderName == QStringLiteral("cancel") && m_download) {
        // The dialog stays until the download thread has stopped and says so.
        m_download->Cancel();
    }
    ui::WindowBase::notify(n);
}

int DownloadDialog::handleCustomMessage(int number, const std::any& payload, bool& handled) {
    switch (number) {
        // A payload of another type is dropped, never cast.
        case kProgressMessage:
            if (const auto* percent = std::any_cast<int>(&payload)) ShowPercent(*percent);
            return 0;
        case kFinishedMessage:
            if (const auto* outcome = std::any_cast<DownloadOutcome>(&payload)) Finish(*outcome);
            return 0;
        default:
            return ui::WindowBase::handleCustomMessage(number, payload, handled);
    }
}

bool DownloadDialog::onClose() {
    if (m_finished || !m_download) return true;
    m_download->Cancel();
    return false;
}

void DownloadDialog::ShowPercent(int percent) {
    if (percent == m_shownPercent) return;
    m_shownPercent = percent;
    ui::SetText(m_text, QStringLiteral("%1%").arg(percent));
    ui::SetValue(m_slider, percent);
}

void DownloadDialog::Finish(const DownloadOutcome& outcome) {
    m_finished = true;
    switch (NextStep(outcome, m_mandatory)) {
        case AfterDownload::OpenInstaller:
            if (AfterInstallerOpen(OpenInstaller(outcome.file)) == AfterDownload::ExitProgram) {
                ExitProgram();
                return;
            }
            break;
        case AfterDownload::ExitProgram:
            ExitProgram();
            return;
        case AfterDownload::CloseDialog:
            // An address refused before anything was fetched is the service's
            // mistake, not a network hiccup: say so instead of vanishing.
            if (outcome.status == DownloadStatus::InsecureAddress) {
                Tell(InsecureInstallerNotice());
            } else if (outcome.status == DownloadStatus::InvalidAddress) {
                Tell(InvalidInstallerNotice());
            }
            break;
    }
    closeWith(kDownloadDialogResult);
}

void DownloadDialog::Tell(const QString& text) {
    if (m_environment.boxes.tell) m_environment.boxes.tell(this, text);
}

bool DownloadDialog::OpenInstaller(const std::filesystem::path& file) {
    if (!m_environment.openUrl) return false;
    return m_environment.openUrl(QUrl::fromLocalFile(QFile::decodeName(file.native().c_str())));
}

void DownloadDialog::ExitProgram() {
    if (m_environment.exitProgram) m_environment.exitProgram(kInstallerExitCode);
    closeWith(kDownloadDialogResult);
}

}  // namespace brisklo::dialogs
