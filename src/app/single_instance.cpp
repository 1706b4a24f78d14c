#include "app/single_instance.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QThread>

#include "core/log.h"

namespace brisklo::app {
namespace {

constexpr char kAcknowledge = '1';

}  // namespace

QString SingleInstance::RuntimeFolder() {
    // $XDG_RUNTIME_DIR when it is the user's own folder; never the shared temp
    // folder, where another user could take the names first: without it, a 0700
    // folder in the user's own cache folder.
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    struct stat info {};
    if (!runtime.isEmpty() && ::stat(runtime.constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
        info.st_uid == ::getuid()) {
        return QString::fromLocal8Bit(runtime);
    }
    QString cache = QString::fromLocal8Bit(qgetenv("XDG_CACHE_HOME"));
    if (cache.isEmpty()) cache = QDir::homePath() + QStringLiteral("/.cache");
    const QString folder = cache + QStringLiteral("/Brisklo/runtime");
    QDir().mkpath(folder);
    const QByteArray native = QFile::encodeName(folder);
    ::chmod(native.constData(), 0700);
    if (::lstat(native.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::getuid() || (info.st_mode & 0077) != 0) {
        LogLine("%s is not a private folder of this user\n", native.constData());
    }
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
