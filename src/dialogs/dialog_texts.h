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

// What "feedbackErrorTips" says about a message that cannot be sent.
QString FeedbackProblemText(FeedbackProblem problem);
// The notice shown once the service has answered (or not).
QString FeedbackNotice(FeedbackOutcome outcome);

}  // namespace brisklo::dialogs
