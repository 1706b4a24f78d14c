// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "core/task_ids.h"
#include "core/task_queue.h"

namespace brisklo {

// The rows of one list (videos or images) keyed by task id, and the queue that
// drives its worker. The table has a lock of its own, held only for table work;
// no operation holds it together with the queue's.
template <class Task>
class TaskList {
  public:
    TaskList(TaskIdCounter& ids, std::size_t runSlots, QueueLogNames names)
        : m_ids(ids), m_queue(runSlots, names) {}

    // Stores the task under the next id of the shared counter and returns the id.
    std::int32_t Add(Task task) {
        std::lock_guard lock(m_mutex);
        const std::int32_t id = m_ids.Next();
        m_tasks.emplace(id, std::move(task));
        return id;
    }

    // Erases a task; refused (false) while it waits or runs, or when unknown.
    bool Remove(std::int32_t id) {
        if (m_queue.IsQueued(id)) return false;
        std::lock_guard lock(m_mutex);
        return m_tasks.erase(id) > 0;
    }

    std::optional<Task> Find(std::int32_t id) const {
        std::lock_guard lock(m_mutex);
        const auto at = m_tasks.find(id);
        if (at == m_tasks.end()) return std::nullopt;
        return at->second;
    }

    // Queues a known task; the queue refuses one that waits or runs.
    QueueStatus Enqueue(std::int32_t id) {
        if (!Contains(id)) return QueueStatus::UnknownTask;
        return m_queue.Enqueue(id);
    }

    // Queues every known id that neither waits nor runs, waking the worker once;
    // returns how many were queued.
    std::size_t EnqueueAll(std::span<const std::int32_t> ids) {
        std::vector<std::int32_t> known;
        for (const std::int32_t id : ids) {
            if (Contains(id)) known.push_back(id);
        }
        return m_queue.EnqueueAll(known);
    }

    bool Contains(std::int32_t id) const {
        std::lock_guard lock(m_mutex);
        return m_tasks.contains(id);
    }

    bool Empty() const {
        std::lock_guard lock(m_mutex);
        return m_tasks.empty();
    }

    TaskQueue& queue() { return m_queue; }
    const TaskQueue& queue() const { return m_queue; }

  private:
    TaskIdCounter& m_ids;
    mutable std::mutex m_mutex;
    std::map<std::int32_t, Task> m_tasks;
    TaskQueue m_queue;
};

// The log names of the two queues.
inline constexpr QueueLogNames kVideoQueueNames{"idleTaskList", "busyTaskList", "队列数据"};
inline constexpr QueueLogNames kImageQueueNames{"idleTaskImageList", "busyTaskImageList",
                                                "ImageCompress"};

}  // namespace brisklo
