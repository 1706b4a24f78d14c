// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWidget>
#include <chrono>
#include <vector>

#include "dialogs/dialog_environment.h"
#include "test_support.h"

namespace brisklo::test {

// One box the dialogs showed through their NoticeBoxes.
struct ShownBox {
    bool asked = false;  // a two-button question, else a one-button notice
    QString text;
    QPointer<QWidget> owner;
    bool ownerVisible = false;  // whether the owner was on screen while it showed
};

// Stands in for the user and the desktop: answers and records the boxes, records
// what was opened and whether the program was told to end. It must outlive the
// dialogs given its Environment().
class DesktopRecorder {
  public:
    // Boxes, opener and exit recorders; trusts the test authority and keeps
    // downloads in a temporary folder.
    dialogs::DialogEnvironment Environment();

    std::vector<ShownBox> boxes;
    int answer = 1;  // what a two-button question returns
    std::vector<QUrl> opened;
    bool openSucceeds = true;
    std::vector<int> exitCodes;
    TempDir dir;

    std::filesystem::path downloadFolder() const { return dir / "Temp"; }
};

}  // namespace brisklo::test
