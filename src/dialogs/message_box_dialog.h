// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/box_dialog.h"

namespace brisklo::dialogs {

// The two-button question ("MessageBox.xml": "msgText", "msgConfirm",
// "msgCancel"). Its modal run gives 1 for confirm and 0 for cancel.
class MessageBoxDialog : public BoxDialog {
  public:
    MessageBoxDialog(QWidget* owner, QString message,
                     ui::CWndShadow::TranslucencyCheck canShowTranslucentWindows =
                         ui::DesktopShowsTranslucentWindows);
};

}  // namespace brisklo::dialogs
