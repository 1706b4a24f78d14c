// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/batch_bar.h"

#include <QCoreApplication>
#include <array>
#include <utility>

#include "app/batch_summary.h"
#include "batch/batch_session.h"
#include "ui/controls.h"
#include "ui/window_base.h"

namespace brisklo::app {
namespace {

struct BarNames {
    const char* primary;
    const char* pause;
    const char* line;
};
constexpr std::array<BarNames, 2> kBars{{
    {"all-compress", "video-pause", "video-batch-line"},
    {"all-image-compress", "image-pause", "image-batch-line"},
}};

QString Tr(const char* source) { return QCoreApplication::translate("MainWindow", source); }

}  // namespace

BatchBar::BatchBar(ui::WindowBase& window, BatchSession& session)
    : QObject(&window), m_window(window), m_session(session) {
    m_compressAllText = ui::Text(m_window.control(QString::fromLatin1(kBars[0].primary)));
    m_tick.setInterval(1000);
    connect(&m_tick, &QTimer::timeout, this, &BatchBar::Refresh);
}

void BatchBar::Refresh() {
    const bool running = !m_session.Idle();
    // A pause outlives nothing: with every task ended or cancelled, the next batch
    // must start.
    if (!running && m_session.Paused()) m_session.Resume();
    const bool paused = m_session.Paused();
    const QString line = running ? BatchProgressText(m_session.Totals(), paused) : QString();
    for (const BarNames& bar : kBars) {
        ui::SetText(m_window.control(QString::fromLatin1(bar.primary)),
                    running ? Tr(QT_TRANSLATE_NOOP("MainWindow", "停止全部")) : m_compressAllText);
        QWidget* pause = m_window.control(QString::fromLatin1(bar.pause));
        ui::SetText(pause, paused ? Tr(QT_TRANSLATE_NOOP("MainWindow", "继续"))
                                  : Tr(QT_TRANSLATE_NOOP("MainWindow", "暂停")));
        pause->setVisible(running);
        QWidget* label = m_window.control(QString::fromLatin1(bar.line));
        ui::SetText(label, line);
        label->setVisible(running);
    }
    if (running && !m_tick.isActive()) m_tick.start();
    if (!running) m_tick.stop();
}

void BatchBar::RefreshSoon() {
    if (std::exchange(m_refreshPending, true)) return;
    QTimer::singleShot(0, this, [this] {
        m_refreshPending = false;
        Refresh();
    });
}

bool BatchBar::StopIfRunning() {
    if (m_session.Idle()) return false;
    m_session.StopAll();
    // Nothing is left to start, and the next batch must not begin paused.
    if (m_session.Paused()) m_session.Resume();
    Refresh();
    return true;
}

void BatchBar::TogglePause() {
    if (m_session.Paused()) {
        m_session.Resume();
    } else {
        m_session.Pause();
    }
    Refresh();
}

}  // namespace brisklo::app
