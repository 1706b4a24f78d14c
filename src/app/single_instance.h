// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <chrono>

namespace brisklo::app {

// One running copy per user: a lock file in the runtime folder says which copy
// runs, and a local socket beside it lets a second start hand over its
// arguments. A lock left by a copy that crashed or was killed does not count.
class SingleInstance : public QObject {
    Q_OBJECT
  public:
    // folder: where the lock and the socket live (the user's runtime folder).
    explicit SingleInstance(const QString& folder = RuntimeFolder());

    // True when this is the first copy: it holds the lock and listens for later
    // starts. False when another copy runs.
    bool Acquire();
    // A second start: gives paths to the running copy, which adds them and comes
    // to the front. False when it did not answer within timeout.
    bool HandOver(const QStringList& paths, std::chrono::milliseconds timeout);

    static QString RuntimeFolder();

  signals:
    // A later start asked for the window, with its arguments (absolute paths).
    void Activated(const QStringList& paths);

  private:
    void Serve();

    QString m_socketPath;
    QLockFile m_lock;
    QLocalServer m_server;
};

// Restores the window if it was minimised or hidden, raises it and gives it the
// focus, or to its open modal dialog.
void BringToFront(QWidget* window);

}  // namespace brisklo::app
