// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/single_instance.h"

#include <QApplication>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include "core/log.h"

namespace brisklo::app {
namespace {

constexpr char kAcknowledge = '1';

}  // namespace

QString SingleInstance::RuntimeFolder() {
    // $XDG_RUNTIME_DIR, private to the user; Qt falls back to a private folder in /tmp.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    return folder;
}

SingleInstance::SingleInstance(const QString& folder)
    : m_socketPath(folder + QStringLiteral("/BriskloProcessMutex.socket")),
      m_lock(folder + QStringLiteral("/BriskloProcessMutex.lock")) {
    QDir().mkpath(folder);
    // Never stale by age: a running copy may sit for weeks. A lock whose process
    // is gone is stale whatever its age.
    m_lock.setStaleLockTime(0);
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::Serve);
}

bool SingleInstance::Acquire() {
    if (!m_lock.tryLock(0)) return false;
    // A socket left by a copy that died would refuse the listen.
    QLocalServer::removeServer(m_socketPath);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server.listen(m_socketPath)) {
        LogLine("cannot listen on %s: %s\n", qPrintable(m_socketPath),
                qPrintable(m_server.errorString()));
    }
    return true;
}

bool SingleInstance::HandOver(const QStringList& paths, std::chrono::milliseconds timeout) {
    const QDeadlineTimer deadline(timeout);
    // The first copy may have its lock and not yet its socket: try until the deadline.
    for (;;) {
        QLocalSocket socket;
        socket.connectToServer(m_socketPath);
        if (socket.waitForConnected(static_cast<int>(deadline.remainingTime()))) {
            QByteArray message;
            QDataStream out(&message, QIODevice::WriteOnly);
            out << paths;
            socket.write(message);
            const int left = static_cast<int>(deadline.remainingTime());
            if (!socket.waitForBytesWritten(left)) return false;
            // The answer comes once the paths were taken.
            while (socket.bytesAvailable() == 0) {
                if (!socket.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
                    return false;
            }
            char answer = 0;
            return socket.getChar(&answer) && answer == kAcknowledge;
        }
        if (deadline.hasExpired()) return false;
        QThread::msleep(20);
    }
}

void SingleInstance::Serve() {
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            QDataStream in(socket);
            in.startTransaction();
            QStringList paths;
            in >> paths;
            if (!in.commitTransaction()) return;  // the rest is still on its way
            socket->putChar(kAcknowledge);
            socket->flush();
            emit Activated(paths);
        });
    }
}

void BringToFront(QWidget* window) {
    if (window->isMinimized()) {
        window->showNormal();
    } else {
        window->show();
    }
    window->raise();
    window->activateWindow();
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != window) {
        modal->show();
        modal->raise();
        modal->activateWindow();
    }
}

}  // namespace brisklo::app
