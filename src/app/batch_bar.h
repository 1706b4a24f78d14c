// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

namespace brisklo {
class BatchSession;

namespace ui {
class WindowBase;
}

namespace app {

// The bottom bars while a batch runs: "全部压缩" becomes "停止全部", the pause
// button shows beside it, and a line tells how far the batch is, how much it
// has saved and how long it has left (refreshed every second).
class BatchBar : public QObject {
    Q_OBJECT
  public:
    BatchBar(ui::WindowBase& window, BatchSession& session);

    // After anything that may have started, moved or ended the batch.
    void Refresh();
    // The same, once the events of the moment are handled (many tasks change at once).
    void RefreshSoon();
    // The primary button: stops the running batch; false when there is none
    // (the button then means "compress all").
    bool StopIfRunning();
    void TogglePause();

  private:
    ui::WindowBase& m_window;
    BatchSession& m_session;
    QString m_compressAllText;
    QTimer m_tick;
    bool m_refreshPending = false;
};

}  // namespace app
}  // namespace brisklo
