// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/desktop_notice.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

#include "core/log.h"
#include "ui/app_identity.h"

namespace brisklo::app {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

}  // namespace

DesktopNotice::DesktopNotice(QObject* parent, QDBusConnection bus)
    : QObject(parent), m_bus(std::move(bus)) {
    if (!m_bus.isConnected()) return;
    const bool clicks = m_bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"),
                                      this, SLOT(OnActionInvoked(quint32, QString)));
    const bool closes =
        m_bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                      SLOT(OnClosed(quint32, quint32)));
    if (!clicks || !closes) {
        LogLine("desktop notices: cannot follow their clicks: %s\n",
                m_bus.lastError().message().toUtf8().constData());
    }
}

void DesktopNotice::Show(const QString& title, const QString& text) {
    if (!m_bus.isConnected()) {
        LogLine("no desktop notice: no session bus (%s)\n",
                m_bus.lastError().message().toUtf8().constData());
        emit shown(0);
        return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    QVariantMap hints;
    // Lets the desktop show the program's name and icon, and find its window.
    hints.insert(QStringLiteral("desktop-entry"), ui::AppId());
    // The default action is what a click on the notice does: bring the window.
    const QStringList actions{QStringLiteral("default"), title};
    call << QStringLiteral("Brisklo") << m_id << ui::AppId() << title << text << actions << hints
         << -1;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                const QDBusPendingReply<quint32> reply = *finished;
                if (reply.isError()) {
                    LogLine("no desktop notice: %s\n",
                            reply.error().message().toUtf8().constData());
                    emit shown(0);
                    return;
                }
                m_id = reply.value();
                LogLine("desktop notice %u shown\n", m_id);
                emit shown(m_id);
            });
}

void DesktopNotice::OnActionInvoked(quint32 id, const QString& action) {
    LogLine("desktop notice %u: action %s (shown: %u)\n", id, action.toUtf8().constData(), m_id);
    if (id != 0 && id == m_id && action == QStringLiteral("default")) emit clicked();
}

void DesktopNotice::OnClosed(quint32 id, quint32 /*reason*/) {
    // A closed notice cannot be replaced any more: the next one is new.
    if (id == m_id) m_id = 0;
}

}  // namespace brisklo::app
