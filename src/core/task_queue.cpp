// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/task_queue.h"

#include "core/id_lists.h"
#include "core/log.h"

namespace brisklo {

QueueStatus TaskQueue::EnqueueLocked(std::int32_t id) {
    if (HoldsId(m_running, id)) return QueueStatus::Running;
    if (HoldsId(m_waiting, id)) return QueueStatus::AlreadyWaiting;
    m_waiting.push_back(id);
    return QueueStatus::Queued;
}

QueueStatus TaskQueue::Enqueue(std::int32_t id) {
    QueueStatus status;
    {
        std::lock_guard lock(m_mutex);
        status = EnqueueLocked(id);
    }
    if (status == QueueStatus::Queued) m_wake.notify_all();
    return status;
}

std::size_t TaskQueue::EnqueueAll(std::span<const std::int32_t> ids) {
    std::size_t queued = 0;
    {
        std::lock_guard lock(m_mutex);
        for (const std::int32_t id : ids) queued += EnqueueLocked(id) == QueueStatus::Queued;
    }
    if (queued > 0) m_wake.notify_all();
    return queued;
}

std::optional<std::int32_t> TaskQueue::TakeNext() {
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [this] {
        return m_shutdown || (!m_paused && m_running.size() < m_slots && !m_waiting.empty());
    });
    if (m_shutdown) return std::nullopt;
    const std::int32_t id = m_waiting.front();
    m_waiting.pop_front();
    LogLine("%s task_id: %d\n", m_names.waiting, id);
    m_running.push_back(id);
    return id;
}

bool TaskQueue::Finish(std::int32_t id) {
    bool found;
    {
        std::lock_guard lock(m_mutex);
        found = RemoveFirstId(m_running, id);
        if (found) LogLine("%s task_id: %d\n", m_names.running, id);
        LogLine("%s,size: %d,%d\n", m_names.sizeLine, static_cast<int>(m_running.size()),
                static_cast<int>(m_waiting.size()));
    }
    m_wake.notify_all();
    return found;
}

void TaskQueue::Shutdown() {
    {
        std::lock_guard lock(m_mutex);
        m_shutdown = true;
    }
    m_wake.notify_all();
}

bool TaskQueue::Cancel(std::int32_t id) {
    std::lock_guard lock(m_mutex);
    const bool found = RemoveFirstId(m_waiting, id);
    if (found) LogLine("%s cancelled task_id: %d\n", m_names.waiting, id);
    return found;
}

std::vector<std::int32_t> TaskQueue::CancelAll() {
    std::lock_guard lock(m_mutex);
    std::vector<std::int32_t> cancelled(m_waiting.begin(), m_waiting.end());
    m_waiting.clear();
    return cancelled;
}

void TaskQueue::SetPaused(bool paused) {
    {
        std::lock_guard lock(m_mutex);
        m_paused = paused;
    }
    m_wake.notify_all();
}

bool TaskQueue::IsPaused() const {
    std::lock_guard lock(m_mutex);
    return m_paused;
}

std::size_t TaskQueue::WaitingPlace(std::int32_t id) const {
    std::lock_guard lock(m_mutex);
    for (std::size_t i = 0; i < m_waiting.size(); ++i) {
        if (m_waiting[i] == id) return i + 1;
    }
    return 0;
}

bool TaskQueue::IsIdle() const {
    std::lock_guard lock(m_mutex);
    return m_waiting.empty() && m_running.empty();
}

bool TaskQueue::IsWaiting(std::int32_t id) const {
    std::lock_guard lock(m_mutex);
    return HoldsId(m_waiting, id);
}

bool TaskQueue::IsRunning(std::int32_t id) const {
    std::lock_guard lock(m_mutex);
    return HoldsId(m_running, id);
}

bool TaskQueue::IsQueued(std::int32_t id) const {
    std::lock_guard lock(m_mutex);
    return HoldsId(m_waiting, id) || HoldsId(m_running, id);
}

std::vector<std::int32_t> TaskQueue::WaitingIds() const {
    std::lock_guard lock(m_mutex);
    return {m_waiting.begin(), m_waiting.end()};
}

std::vector<std::int32_t> TaskQueue::RunningIds() const {
    std::lock_guard lock(m_mutex);
    return m_running;
}

}  // namespace brisklo
