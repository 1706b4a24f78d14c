// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/download_outcome.h"

#include <glog/logging.h>

#include <string>

namespace brisklo {

AfterDownload NextStep(const DownloadOutcome& outcome, bool mandatory) {
    if (outcome.completed()) return AfterDownload::OpenInstaller;
    if (outcome.cancelRequested && mandatory) return AfterDownload::ExitProgram;
    return AfterDownload::CloseDialog;
}

AfterDownload AfterInstallerOpen(bool opened) {
    if (opened) return AfterDownload::ExitProgram;
    LogUpgradeFailed();
    return AfterDownload::CloseDialog;
}

void LogUpgradeFailed() {
    // Reported as coming from HttpDownload:89 so the line reads the same in every
    // build, wherever this call sits.
    google::LogMessage("HttpDownload", 89, google::GLOG_ERROR).stream()
        << std::string(kUpgradeFailedLog);
}

std::string_view DescribeStatus(DownloadStatus status) {
    switch (status) {
        case DownloadStatus::Completed:
            return "completed";
        case DownloadStatus::Cancelled:
            return "cancelled";
        case DownloadStatus::InvalidAddress:
            return "invalid address";
        case DownloadStatus::InsecureAddress:
            return "insecure address";
        case DownloadStatus::HttpError:
            return "HTTP error";
        case DownloadStatus::NetworkError:
            return "network error";
        case DownloadStatus::UnknownLength:
            return "unknown length";
        case DownloadStatus::ShortTransfer:
            return "short transfer";
        case DownloadStatus::OversizedTransfer:
            return "oversized transfer";
        case DownloadStatus::FileError:
            return "file error";
        case DownloadStatus::TooLarge:
            return "too large";
        case DownloadStatus::ChecksumMismatch:
            return "checksum mismatch";
    }
    return "unknown";
}

}  // namespace brisklo
