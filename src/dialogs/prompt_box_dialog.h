// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/box_dialog.h"

namespace brisklo::dialogs {

// The one-button notice ("PromptBox.xml": "msgText", "msgConfirm"). Its modal
// run gives 1 for confirm.
class PromptBoxDialog : public BoxDialog {
  public:
    PromptBoxDialog(QWidget* owner, QString message,
                    ui::CWndShadow::TranslucencyCheck canShowTranslucentWindows =
                        ui::DesktopShowsTranslucentWindows);
};

}  // namespace brisklo::dialogs
