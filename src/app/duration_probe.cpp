// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/duration_probe.h"

#include "video/media_probe.h"

namespace brisklo::app {

DurationProbe::DurationProbe(QObject* context, Answer answer)
    : m_context(context), m_answer(std::move(answer)), m_thread([this] { Run(); }) {}

DurationProbe::~DurationProbe() { Stop(); }

void DurationProbe::Ask(std::int32_t taskId, std::filesystem::path file) {
    {
        std::lock_guard lock(m_mutex);
        if (m_stopping) return;
        m_asked.emplace_back(taskId, std::move(file));
    }
    m_wake.notify_one();
}

void DurationProbe::Stop() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_asked.clear();
    }
    m_wake.notify_one();
    if (m_thread.joinable()) m_thread.join();
}

void DurationProbe::Run() {
    for (;;) {
        std::pair<std::int32_t, std::filesystem::path> next;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_asked.empty(); });
            if (m_stopping) return;
            next = std::move(m_asked.front());
            m_asked.pop_front();
        }
        const double seconds = GetMediaDuration(next.second);
        // Queued to the UI thread; Qt drops it if the context is destroyed first.
        QMetaObject::invokeMethod(
            m_context, [answer = m_answer, id = next.first, seconds] { answer(id, seconds); },
            Qt::QueuedConnection);
    }
}

}  // namespace brisklo::app
