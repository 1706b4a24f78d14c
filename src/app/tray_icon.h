// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>

namespace brisklo::ui {
class WindowBase;
}

namespace brisklo::app {

// The program's icon in the notification area, for the main window's whole life:
// a left click restores and raises the window, a right click opens the tray menu.
// Without a tray on the desktop there is no icon; the window stays reachable from
// the task bar. The icon is removed when this object goes.
class TrayIcon : public QObject {
    Q_OBJECT
  public:
    explicit TrayIcon(ui::WindowBase& window);
    ~TrayIcon() override;

    bool visible() const { return m_icon.isVisible(); }
    // A desktop notification from the icon; clicking it restores and raises the
    // window. Nothing without a tray.
    void ShowNotice(const QString& title, const QString& text);
    // What a click on the icon does (the tray's own signal comes here too).
    void Activate(QSystemTrayIcon::ActivationReason reason, QPoint cursor);

  private:
    ui::WindowBase& m_window;
    QSystemTrayIcon m_icon;
};

// Shows the window in its normal state, on top and active.
void RestoreWindow(QWidget& window);

}  // namespace brisklo::app
