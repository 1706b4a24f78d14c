// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QWidget>
#include <chrono>
#include <memory>

namespace brisklo::app {

// One running copy per user: a lock file in the runtime folder says which copy
// runs, and a local socket beside it lets a later start hand over its arguments.
// The running copy answers from a thread of its own from the moment it listens,
// so a start never waits for the window to be built; what arrives before the
// window is ready waits for StartDelivering. Both ends check that the other end
// belongs to the same user. A lock left by a copy that crashed or was killed
// does not count.
class SingleInstance : public QObject {
    Q_OBJECT
  public:
    // folder: where the lock and the socket live (the user's runtime folder).
    explicit SingleInstance(const QString& folder = RuntimeFolder());
    ~SingleInstance() override;  // Release()

    // True when this is the first copy: it holds the lock and listens for later
    // starts. False when another copy runs.
    bool Acquire();
    // Stops listening and gives up the lock and the socket, so that a later start
    // becomes the running copy (called when the window closes, before the slower
    // shutdown).
    void Release();
    // From now on, and for what arrived before, Activated is emitted.
    void StartDelivering();
    // A second start: gives paths to the running copy, which adds them and comes
    // to the front. False when it did not answer within timeout.
    bool HandOver(const QStringList& paths, std::chrono::milliseconds timeout);
    // Whether the process that holds the lock is alive (false when none holds it).
    bool HolderAlive() const;

    static QString RuntimeFolder();

  signals:
    // A later start asked for the window, with its arguments (absolute paths).
    void Activated(const QStringList& paths);

  private:
    void Deliver(const QStringList& paths);

    QString m_socketPath;
    QLockFile m_lock;
    std::unique_ptr<QThread> m_server;
    bool m_delivering = false;
    QList<QStringList> m_pending;
};

// Restores the window if it was minimised or hidden, raises it and gives it the
// focus, or to its open modal dialog.
void BringToFront(QWidget* window);

}  // namespace brisklo::app
