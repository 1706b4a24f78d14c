// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "ui/window_base.h"
#include "ui/window_shadow.h"

class QLabel;
class QPushButton;

namespace brisklo::dialogs {

// What the two small boxes share: a captionless white card with rounded
// corners and a grey drop shadow, showing the caller's text (wrapped) above
// right-aligned buttons. "msgConfirm" closes the box with 1 and, where the box
// has one, "msgCancel" with 0. Closing it otherwise (Esc, the window manager)
// gives 0 as well; callers take any non-zero result as confirmation.
class BoxDialog : public ui::WindowBase {
    Q_OBJECT
  public:
    // The caller's text, as given.
    const QString& message() const { return m_message; }
    const ui::CWndShadow& shadow() const { return m_shadow; }

  protected:
    // What tells the two boxes apart: the layout, the class name that names the box
    // in errors ("MessageBoxDialog::Init") and whether it has "msgCancel".
    struct Kind {
        QString skinFile;
        QString className;
        bool hasCancel = false;
    };
    BoxDialog(QWidget* owner, QString message, Kind kind,
              ui::CWndShadow::TranslucencyCheck canShowTranslucentWindows);

    QString skinFile() const override { return m_kind.skinFile; }
    void initWindow() override;
    void notify(const ui::Notification& notification) override;

  private:
    void SetUp();

    const QString m_message;
    const Kind m_kind;
    ui::CWndShadow m_shadow;
    QLabel* m_text = nullptr;
    QPushButton* m_confirm = nullptr;
    QPushButton* m_cancel = nullptr;
};

}  // namespace brisklo::dialogs
