#include "dialogs/message_box_dialog.h"

namespace brisklo::dialogs {

MessageBoxDialog::MessageBoxDialog(QWidget* owner, QString message,
                                   ui::CWndShadow::TranslucencyCheck canShowTranslucentWindows)
    : BoxDialog(owner, std::move(message), QStringLiteral("MessageBoxDialog"), /*hasCancel=*/true,
                std::move(canShowTranslucentWindows)) {}

}  // namespace brisklo::dialogs
