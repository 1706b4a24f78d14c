// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace brisklo {

enum class DownloadStatus {
    Completed,          // every announced byte is in the installer file
    Cancelled,          // the user cancelled before the end
    InvalidAddress,     // not a URL, or it names no file
    InsecureAddress,    // not an https address; nothing was fetched
    HttpError,          // the server answered with a status outside 200..299
    NetworkError,       // no connection, certificate refused, time-out before any data
    UnknownLength,      // the server announced no length (or 0): completeness unknowable
    ShortTransfer,      // fewer bytes arrived than announced
    OversizedTransfer,  // more bytes arrived than announced
    FileError,          // the installer file could not be written or saved
    TooLarge,           // the announced size is beyond what an installer may have
    ChecksumMismatch,   // the file's SHA-256 is not the one the upgrade reply gave
};

// How an installer download ended. Only a Completed download leaves a file; every
// other outcome has removed what it had written.
struct DownloadOutcome {
    DownloadStatus status = DownloadStatus::NetworkError;
    std::filesystem::path file;  // the saved installer, when Completed
    std::string reason;          // what went wrong, in words, when not Completed
    std::uint64_t bytesReceived = 0;
    std::uint64_t bytesExpected = 0;  // 0 while unknown
    bool cancelRequested = false;     // Cancel was called, whatever the status

    bool completed() const { return status == DownloadStatus::Completed; }
};

// What the download dialog does once the download thread has finished.
enum class AfterDownload {
    OpenInstaller,  // open outcome.file with the desktop's default handler
    ExitProgram,    // end the program with kInstallerExitCode
    CloseDialog,    // close the dialog with kDownloadDialogResult; the program goes on
};

inline constexpr int kDownloadDialogResult = 1;
inline constexpr int kInstallerExitCode = 0;
// Logged at ERROR when the saved installer cannot be opened.
inline constexpr std::string_view kUpgradeFailedLog = "升级失败";

// A complete download is opened. Otherwise a mandatory upgrade that the user
// cancelled ends the program; anything else closes the dialog.
AfterDownload NextStep(const DownloadOutcome& outcome, bool mandatory);

// After trying to open the installer: opened, the program ends so the installer
// can replace it; not opened, the failure is logged ("升级失败" at ERROR) and the
// dialog closes.
AfterDownload AfterInstallerOpen(bool opened);

// Writes the "升级失败" ERROR line through glog.
void LogUpgradeFailed();

std::string_view DescribeStatus(DownloadStatus status);

}  // namespace brisklo
