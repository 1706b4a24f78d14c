// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tray_icon.h"

#include <QCursor>

#include "app/action_texts.h"
#include "app/row_menus.h"
#include "core/log.h"
#include "ui/app_identity.h"
#include "ui/window_base.h"

namespace brisklo::app {

TrayIcon::TrayIcon(ui::WindowBase& window) : m_window(window) {
    m_icon.setIcon(ui::AppIcon());
    m_icon.setToolTip(action_text::TrayToolTip());
    connect(&m_icon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) { Activate(reason, QCursor::pos()); });
    connect(&m_icon, &QSystemTrayIcon::messageClicked, this, [this] { RestoreWindow(m_window); });
    if (QSystemTrayIcon::isSystemTrayAvailable()) m_icon.show();
}

void TrayIcon::ShowNotice(const QString& title, const QString& text) {
    if (m_icon.isVisible()) m_icon.showMessage(title, text, ui::AppIcon());
}

TrayIcon::~TrayIcon() { m_icon.hide(); }

void TrayIcon::Activate(QSystemTrayIcon::ActivationReason reason, QPoint cursor) {
    if (reason == QSystemTrayIcon::Trigger) {
        RestoreWindow(m_window);
    } else if (reason == QSystemTrayIcon::Context) {
        m_window.activateWindow();
        try {
            OpenTrayMenu(m_window, cursor);
        } catch (const ui::SkinError& error) {
            LogLine("%s\n", error.what());
        }
    }
}

void RestoreWindow(QWidget& window) {
    window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window.showNormal();
    window.raise();
    window.activateWindow();
}

}  // namespace brisklo::app
