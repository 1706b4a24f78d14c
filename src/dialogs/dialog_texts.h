// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "net/feedback.h"

namespace brisklo::dialogs {

// The notices of the upgrade check.
QString NewVersionNotice();    // "发现新版本啦!"
QString NoNewVersionNotice();  // "没有发现新版本!"

// Told when the installer's address is not https: nothing was downloaded.
QString InsecureInstallerNotice();
// Told when the installer's address is not usable at all.
QString InvalidInstallerNotice();

// Told when the upgrade check asked for by the user failed; detail is the
// request's own words (the address and what went wrong).
QString UpgradeCheckFailedNotice(const QString& detail);

// Told when a folder, file or page cannot be opened because nothing on the desktop
// opens it (no xdg-open, no file manager, no browser).
QString NoFolderOpenerNotice(const QString& folder);
QString NoPageOpenerNotice(const QString& address);

// What "feedbackErrorTips" says about a message that cannot be sent.
QString FeedbackProblemText(FeedbackProblem problem);
// The notice shown once the service has answered (or not).
QString FeedbackNotice(FeedbackOutcome outcome);

}  // namespace brisklo::dialogs
