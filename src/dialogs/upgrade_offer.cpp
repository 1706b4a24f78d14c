// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/upgrade_offer.h"

#include "dialogs/dialog_texts.h"
#include "dialogs/download_dialog.h"

namespace brisklo::dialogs {

int ShowUpgradeOffer(QWidget* owner, const UpgradeOffer& offer,
                     const DialogEnvironment& environment) {
    const QString notice = NewVersionNotice();
    if (offer.mandatory) {
        environment.boxes.tell(owner, notice);
    } else if (environment.boxes.ask(owner, notice) == 0) {
        return 0;
    }
    DownloadDialog dialog(owner, offer.downloadUrl, offer.mandatory, environment);
    dialog.SetInstallerSha256(offer.sha256);
    return dialog.createAndRunModal().value_or(0);
}

}  // namespace brisklo::dialogs
