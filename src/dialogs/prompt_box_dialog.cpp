// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/prompt_box_dialog.h"

namespace brisklo::dialogs {

PromptBoxDialog::PromptBoxDialog(QWidget* owner, QString message,
                                 ui::CWndShadow::TranslucencyCheck canShowTranslucentWindows)
    : BoxDialog(owner, std::move(message),
                {QStringLiteral("PromptBox.xml"), QStringLiteral("PromptBoxDialog"), false},
                std::move(canShowTranslucentWindows)) {}

}  // namespace brisklo::dialogs
