// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>

#include "batch/batch_totals.h"
#include "batch/task_status.h"
#include "core/media_kinds.h"

namespace brisklo {

// The state of every task of a session and the totals of the running batch. The
// workers' threads and the owner's thread both write it, so every call takes the
// board's lock, for the table work only.
class TaskBoard {
  public:
    using Clock = std::chrono::steady_clock;

    void Add(std::int32_t id, MediaKind kind, std::int64_t sourceSize);
    void Remove(std::int32_t id);
    std::optional<MediaKind> KindOf(std::int32_t id) const;

    // Queued. When nothing of the batch waits or runs any more, this starts a new
    // batch.
    void SetWaiting(std::int32_t id);
    void SetRunning(std::int32_t id, Clock::time_point now);
    // Done or kept original, with its measured output.
    void SetSucceeded(std::int32_t id, const TaskOutcome& outcome, Clock::time_point now);
    void SetFailed(std::int32_t id, const TaskFailure& failure, Clock::time_point now);
    void SetStopped(std::int32_t id);
    void SetCancelled(std::int32_t id);
    // The running encode's position in its source and its pace (times real time).
    void NoteVideoProgress(std::int32_t id, std::int32_t durationMs, std::int32_t timeMs,
                           float speed);

    // The state; the queue place is the queue's to tell.
    TaskStatus Status(std::int32_t id) const;
    BatchTotals Totals(Clock::time_point now) const;
    // The totals of a batch that has ended (nothing waits or runs, something ended),
    // once; none otherwise.
    std::optional<BatchTotals> TakeEndedBatch(Clock::time_point now);

  private:
    struct Entry {
        MediaKind kind = MediaKind::Video;
        std::int64_t sourceSize = 0;
        TaskStatus status;
        Clock::time_point started;
    };
    struct RunningVideo {
        std::int32_t id = -1;
        std::int32_t durationMs = 0;
        std::int32_t timeMs = 0;
        float speed = 0;
    };
    // Wall time of the tasks of one kind that ran to their end.
    struct MeanTime {
        int count = 0;
        double seconds = 0;
        double mean() const { return count > 0 ? seconds / count : 0; }
    };

    // Expects the lock held. Moves the entry into a state, keeping the counts.
    void MoveLocked(Entry& entry, TaskState to);
    void EndLocked(Entry& entry, TaskState to);
    // Counts the wall time of a task that ran to its end.
    void NoteRunTimeLocked(const Entry& entry, Clock::time_point now);
    BatchTotals TotalsLocked(Clock::time_point now) const;
    int CountLocked(MediaKind kind, TaskState state) const;
    Entry* FindLocked(std::int32_t id);

    mutable std::mutex m_mutex;
    std::map<std::int32_t, Entry> m_entries;
    // Tasks by kind (video, image) and state.
    std::array<std::array<int, 8>, 2> m_counts{};
    BatchTotals m_batch;
    bool m_batchTaken = false;
    MeanTime m_videoTime;
    MeanTime m_imageTime;
    RunningVideo m_video;
};

}  // namespace brisklo
