// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

namespace brisklo::app {

// A notice through the desktop's notification service (org.freedesktop.Notifications
// on the session bus), for desktops without a tray: the notice says its text and,
// when clicked (its default action), emits clicked. Without a session bus or a
// service, Show logs why and nothing is shown.
class DesktopNotice : public QObject {
    Q_OBJECT
  public:
    explicit DesktopNotice(QObject* parent = nullptr,
                           QDBusConnection bus = QDBusConnection::sessionBus());

    // Shows the notice, replacing the one this object showed before.
    void Show(const QString& title, const QString& text);
    // The service's id of the notice shown last; 0 before the service answered.
    quint32 shownId() const { return m_id; }

  signals:
    void clicked();
    // The service has answered a Show: with the notice's id, or 0 on failure.
    void shown(quint32 id);

  private slots:
    void OnActionInvoked(quint32 id, const QString& action);
    void OnClosed(quint32 id, quint32 reason);

  private:
    QDBusConnection m_bus;
    quint32 m_id = 0;
};

}  // namespace brisklo::app
