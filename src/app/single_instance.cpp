// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/single_instance.h"

#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <cerrno>
#include <functional>
#include <utility>

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

namespace {

// Whether the other end of a connected local socket runs as this user.
bool PeerIsThisUser(qintptr descriptor) {
    ucred peer{};
    socklen_t size = sizeof(peer);
    return ::getsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
           peer.uid == ::getuid();
}

// Listens on the socket on a thread of its own and answers each later start as
// soon as its paths have arrived; the paths go to `deliver` on the owner's thread.
class HandOverServer : public QThread {
  public:
    HandOverServer(QString path, std::function<void(QStringList)> deliver)
        : m_path(std::move(path)), m_deliver(std::move(deliver)) {}

  protected:
    void run() override {
        QLocalServer server;
        server.setSocketOptions(QLocalServer::UserAccessOption);
        if (!server.listen(m_path)) {
            LogLine("cannot listen on %s: %s\n", qPrintable(m_path),
                    qPrintable(server.errorString()));
            return;
        }
        QObject::connect(&server, &QLocalServer::newConnection, &server, [this, &server] {
            while (QLocalSocket* socket = server.nextPendingConnection()) {
                Answer(*socket);
                delete socket;
            }
        });
        exec();
    }

  private:
    void Answer(QLocalSocket& socket) {
        if (!PeerIsThisUser(socket.socketDescriptor())) {
            LogLine("a start of another user was refused\n");
            return;
        }
        QDataStream in(&socket);
        QStringList paths;
        for (;;) {
            in.startTransaction();
            in >> paths;
            if (in.commitTransaction()) break;
            if (!socket.waitForReadyRead(2000)) return;  // the start gave up
        }
        socket.putChar(kAcknowledge);
        socket.waitForBytesWritten(2000);
        m_deliver(std::move(paths));
    }

    const QString m_path;
    const std::function<void(QStringList)> m_deliver;
};

}  // namespace

SingleInstance::SingleInstance(const QString& folder)
    : m_socketPath(folder + QStringLiteral("/BriskloProcessMutex.socket")),
      m_lock(folder + QStringLiteral("/BriskloProcessMutex.lock")) {
    QDir().mkpath(folder);
    // Never stale by age: a running copy may sit for weeks. A lock whose process
    // is gone is stale whatever its age.
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() { Release(); }

bool SingleInstance::Acquire() {
    if (!m_lock.tryLock(0)) return false;
    // A socket left by a copy that died would refuse the listen.
    QLocalServer::removeServer(m_socketPath);
    m_server = std::make_unique<HandOverServer>(m_socketPath, [this](QStringList paths) {
        QMetaObject::invokeMethod(
            this, [this, paths] { Deliver(paths); }, Qt::QueuedConnection);
    });
    m_server->start();
    return true;
}

void SingleInstance::Release() {
    if (!m_server) return;
    m_server->quit();
    m_server->wait();
    m_server.reset();
    QLocalServer::removeServer(m_socketPath);
    m_lock.unlock();
}

void SingleInstance::StartDelivering() {
    m_delivering = true;
    for (const QStringList& paths : std::exchange(m_pending, {})) emit Activated(paths);
}

void SingleInstance::Deliver(const QStringList& paths) {
    LogLine("a later start handed over %lld path(s): %s\n", static_cast<long long>(paths.size()),
            qPrintable(paths.join(QStringLiteral(", "))));
    if (m_delivering) {
        emit Activated(paths);
    } else {
        m_pending.append(paths);
    }
}

bool SingleInstance::HolderAlive() const {
    qint64 pid = 0;
    QString host;
    QString application;
    if (!m_lock.getLockInfo(&pid, &host, &application) || pid <= 0) return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

bool SingleInstance::HandOver(const QStringList& paths, std::chrono::milliseconds timeout) {
    const QDeadlineTimer deadline(timeout);
    // The first copy may have its lock and not yet its socket: try until the deadline.
    for (;;) {
        QLocalSocket socket;
        socket.connectToServer(m_socketPath);
        if (socket.waitForConnected(static_cast<int>(deadline.remainingTime()))) {
            if (!PeerIsThisUser(socket.socketDescriptor())) return false;
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
