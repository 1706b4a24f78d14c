// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace brisklo {

// What happened to an id offered to a queue. Anything but Queued left the queue
// as it was.
enum class [[nodiscard]] QueueStatus{
    Queued,          // appended to the waiting list; a taker was woken
    AlreadyWaiting,  // refused: it waits already
    Running,         // refused: a task is never queued again while it runs
    UnknownTask,     // refused: no such task
};

// Names the queue's log lines give its two lists and its size line.
struct QueueLogNames {
    const char* waiting;   // "idleTaskList"
    const char* running;   // "busyTaskList"
    const char* sizeLine;  // "队列数据"
};

// A first-in, first-out queue of task ids with a fixed number of run slots: the
// waiting list, the running list, one lock and one condition variable. An id is
// in one list or the other from queueing to finishing, never in both, never twice.
// The lock is held only for the list work.
class TaskQueue {
  public:
    TaskQueue(std::size_t runSlots, QueueLogNames names) : m_slots(runSlots), m_names(names) {}
    TaskQueue(const TaskQueue&) = delete;
    TaskQueue& operator=(const TaskQueue&) = delete;

    QueueStatus Enqueue(std::int32_t id);
    // Offers each id in order and wakes the takers once; returns how many were queued.
    std::size_t EnqueueAll(std::span<const std::int32_t> ids);

    // Blocks until a slot is free, an id waits and the queue is not paused, then
    // moves the head of the waiting list to the running list and returns it. None
    // once shut down.
    std::optional<std::int32_t> TakeNext();
    // Takes the id off the running list (if there) and wakes the takers; true when
    // it was there.
    bool Finish(std::int32_t id);
    // Wakes every taker for good; the waiting ids stay where they are.
    void Shutdown();

    // Takes a waiting id off the waiting list; false when it does not wait.
    bool Cancel(std::int32_t id);
    // Takes every waiting id off the waiting list and returns them in order.
    std::vector<std::int32_t> CancelAll();
    // Paused, nothing new is taken; what runs goes on.
    void SetPaused(bool paused);
    bool IsPaused() const;

    bool IsWaiting(std::int32_t id) const;
    bool IsRunning(std::int32_t id) const;
    // Waiting or running.
    bool IsQueued(std::int32_t id) const;
    // 1 for the head of the waiting list, and so on; 0 when it does not wait.
    std::size_t WaitingPlace(std::int32_t id) const;
    // Nothing waits and nothing runs.
    bool IsIdle() const;
    std::vector<std::int32_t> WaitingIds() const;
    std::vector<std::int32_t> RunningIds() const;

  private:
    // Expects the lock held.
    QueueStatus EnqueueLocked(std::int32_t id);

    const std::size_t m_slots;
    const QueueLogNames m_names;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_shutdown = false;
    bool m_paused = false;
    std::deque<std::int32_t> m_waiting;
    std::vector<std::int32_t> m_running;
};

}  // namespace brisklo
