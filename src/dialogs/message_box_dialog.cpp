// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/message_box_dialog.h"

namespace brisklo::dialogs {

MessageBoxDialog::MessageBoxDialog(QWidget* owner, QString message,
                                   ui::CWndShadow::TranslucencyCheck canShowTranslucentWindows)
    : BoxDialog(owner, std::move(message),
                {QStringLiteral("MessageBox.xml"), QStringLiteral("MessageBoxDialog"), true},
                std::move(canShowTranslucentWindows)) {}

}  // namespace brisklo::dialogs
