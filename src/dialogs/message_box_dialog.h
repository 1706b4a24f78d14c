#pragma once

#include "dialogs/box_dialog.h"

namespace brisklo::dialogs {

// The two-button question ("MessageBox.xml": "msgText", "msgConfirm",
// "msgCancel"). Its modal run gives 1 for confirm and 0 for cancel.
class MessageBoxDialog : public BoxDialog {
    Q_OBJECT
  public:
    MessageBoxDialog(QWidget* owner, QString message,
                     ui::CWndShadow::TranslucencyCheck canShowTranslucentWindows =
                         ui::DesktopShowsTranslucentWindows);

  protected:
    QString skinFile() const override { return QStringLiteral("MessageBox.xml"); }
};

}  // namespace brisklo::dialogs
