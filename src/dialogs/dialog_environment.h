// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QUrl>
#include <filesystem>
#include <functional>

#include "dialogs/notice_boxes.h"
#include "net/http_client.h"

namespace brisklo::dialogs {

// What the upgrade and feedback dialogs need from the desktop and the network.
// The program uses Default(); tests replace the parts that would leave the test
// (opening files, ending the process) and trust their loopback server.
struct DialogEnvironment {
    NoticeBoxes boxes;
    // Opens a file or web page with the desktop's default handler; false when
    // nothing could open it.
    std::function<bool(const QUrl& url)> openUrl;
    // Ends the program with exitCode (after an installer was started, or when a
    // mandatory upgrade is cancelled).
    std::function<void(int exitCode)> exitProgram;
    // Trust and time-outs of the requests to the vendor's web service and of the
    // installer download.
    HttpOptions http;
    // Where installers are saved; empty: "Brisklo/Temp" under the data folder.
    std::filesystem::path downloadFolder;

    // QMessageBox notices, QDesktopServices, and an orderly quit of the
    // application's event loops, so that the main window still stops its workers.
    static DialogEnvironment Default();
};

}  // namespace brisklo::dialogs
