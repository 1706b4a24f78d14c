// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/dialog_environment.h"

#include <QCoreApplication>
#include <QDesktopServices>

namespace brisklo::dialogs {

DialogEnvironment DialogEnvironment::Default() {
    DialogEnvironment environment;
    environment.boxes = DefaultNoticeBoxes();
    environment.openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    // Leaves every running event loop, the modal ones included; main() then
    // returns the code after the main window has been torn down.
    environment.exitProgram = [](int exitCode) { QCoreApplication::exit(exitCode); };
    return environment;
}

}  // namespace brisklo::dialogs
