// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include "dialogs/dialog_environment.h"
#include "net/upgrade_check.h"

namespace brisklo::dialogs {

// Offers a newer version and downloads it. An optional upgrade is asked about
// ("发现新版本啦!" with confirm and cancel; cancel ends here); a mandatory one is
// only announced. The download dialog follows, modal over owner. Returns the
// modal result of the last box or dialog shown. Runs on the UI thread.
int ShowUpgradeOffer(QWidget* owner, const UpgradeOffer& offer,
                     const DialogEnvironment& environment);

}  // namespace brisklo::dialogs
