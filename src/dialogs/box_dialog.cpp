// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/box_dialog.h"

#include <QColor>
#include <QLabel>
#include <QPushButton>
#include <exception>

#include "ui/controls.h"
#include "ui/round_corner.h"
#include "ui/wrappable_text.h"

namespace brisklo::dialogs {

namespace {
constexpr int kCornerRadius = 8;
constexpr int kShadowSize = 4;
const QString kShadowColor = QStringLiteral("#9E9D9D");
}  // namespace

BoxDialog::BoxDialog(QWidget* owner, QString message, Kind kind,
                     ui::CWndShadow::TranslucencyCheck canShowTranslucentWindows)
    : ui::WindowBase(owner),
      m_message(std::move(message)),
      m_kind(std::move(kind)),
      m_shadow(std::move(canShowTranslucentWindows)) {
    setObjectName(m_kind.className);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setModal(true);
}

void BoxDialog::initWindow() {
    try {
        SetUp();
    } catch (const std::exception& error) {
        throw ui::SkinError(m_kind.className.toStdString() + "::Init: " + error.what());
    }
}

void BoxDialog::SetUp() {
    m_text = control<QLabel>(QStringLiteral("msgText"));
    m_confirm = control<QPushButton>(QStringLiteral("msgConfirm"));
    if (m_kind.hasCancel) m_cancel = control<QPushButton>(QStringLiteral("msgCancel"));

    // The label shows the text literally, whatever it contains.
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(true);
    ui::SetText(m_text, ui::WrappableText(m_message));
    // The card keeps its width; its height follows the wrapped text.
    ensurePolished();
    adjustSize();

    m_shadow.AttachTo(this);
    m_shadow.SetShadowSize(kShadowSize);
    m_shadow.SetShadowOffset(0, 0);
    m_shadow.SetShadowColor(QColor::fromString(kShadowColor));
    // After the shadow: on a resize the corners are clipped before it redraws.
    ui::SetRoundCorner(this, kCornerRadius);
}

void BoxDialog::notify(const ui::Notification& notification) {
    if (notification.type == ui::kClick) {
        if (notification.senderName == QStringLiteral("msgConfirm")) {
            closeWith(1);
        } else if (m_kind.hasCancel && notification.senderName == QStringLiteral("msgCancel")) {
            closeWith(0);
        }
    }
    ui::WindowBase::notify(notification);
}

}  // namespace brisklo::dialogs
