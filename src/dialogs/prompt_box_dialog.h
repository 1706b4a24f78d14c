#pragma once

#include "dialogs/box_dialog.h"

namespace brisklo::dialogs {

// The one-button notice ("PromptBox.xml": "msgText", "msgConfirm"). Its modal
// run gives 1 for confirm.
class PromptBoxDialog : public BoxDialog {
    Q_OBJECT
  public:
    PromptBoxDialog(QWidget* owner, QString message,
                    ui::CWndShadow::TranslucencyCheck canShowTranslucentWindows =
                        ui::DesktopShowsTranslucentWindows);

  protected:
    QString skinFile() const override { return QStringLiteral("PromptBox.xml"); }
};

}  // namespace brisklo::dialogs
