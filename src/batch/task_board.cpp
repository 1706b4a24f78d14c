// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/task_board.h"

namespace brisklo {
namespace {

std::size_t KindIndex(MediaKind kind) { return kind == MediaKind::Image ? 1 : 0; }
std::size_t StateIndex(TaskState state) { return static_cast<std::size_t>(state); }

}  // namespace

void TaskBoard::Add(std::int32_t id, MediaKind kind, std::int64_t sourceSize) {
    std::lock_guard lock(m_mutex);
    Entry& entry = m_entries[id];
    entry.kind = kind;
    entry.sourceSize = sourceSize;
    ++m_counts[KindIndex(kind)][StateIndex(TaskState::Idle)];
}

void TaskBoard::Remove(std::int32_t id) {
    std::lock_guard lock(m_mutex);
    const auto at = m_entries.find(id);
    if (at == m_entries.end()) return;
    --m_counts[KindIndex(at->second.kind)][StateIndex(at->second.status.state)];
    m_entries.erase(at);
}

std::optional<MediaKind> TaskBoard::KindOf(std::int32_t id) const {
    std::lock_guard lock(m_mutex);
    const auto at = m_entries.find(id);
    if (at == m_entries.end()) return std::nullopt;
    return at->second.kind;
}

TaskBoard::Entry* TaskBoard::FindLocked(std::int32_t id) {
    const auto at = m_entries.find(id);
    return at == m_entries.end() ? nullptr : &at->second;
}

int TaskBoard::CountLocked(MediaKind kind, TaskState state) const {
    return m_counts[KindIndex(kind)][StateIndex(state)];
}

void TaskBoard::MoveLocked(Entry& entry, TaskState to) {
    --m_counts[KindIndex(entry.kind)][StateIndex(entry.status.state)];
    ++m_counts[KindIndex(entry.kind)][StateIndex(to)];
    entry.status = TaskStatus{};
    entry.status.state = to;
}

void TaskBoard::SetWaiting(std::int32_t id) {
    std::lock_guard lock(m_mutex);
    Entry* entry = FindLocked(id);
    if (!entry) return;
    const bool batchOver = CountLocked(MediaKind::Video, TaskState::Waiting) +
                               CountLocked(MediaKind::Video, TaskState::Running) +
                               CountLocked(MediaKind::Image, TaskState::Waiting) +
                               CountLocked(MediaKind::Image, TaskState::Running) ==
                           0;
    if (batchOver) {
        m_batch = BatchTotals{};
        m_batchTaken = false;
    }
    ++m_batch.total;
    MoveLocked(*entry, TaskState::Waiting);
}

void TaskBoard::SetRunning(std::int32_t id, Clock::time_point now) {
    std::lock_guard lock(m_mutex);
    Entry* entry = FindLocked(id);
    if (!entry) return;
    MoveLocked(*entry, TaskState::Running);
    entry->started = now;
    if (entry->kind == MediaKind::Video) m_video = RunningVideo{id};
}

void TaskBoard::EndLocked(Entry& entry, TaskState to) {
    // Only a task of the batch counts in it; a stray end (a late result) does not.
    const bool counted =
        entry.status.state == TaskState::Waiting || entry.status.state == TaskState::Running;
    MoveLocked(entry, to);
    if (!counted) return;
    ++m_batch.finished;
    switch (to) {
        case TaskState::Done:
        case TaskState::KeptOriginal:
            ++m_batch.succeeded;
            break;
        case TaskState::Failed:
            ++m_batch.failed;
            break;
        case TaskState::Stopped:
            ++m_batch.stopped;
            break;
        default:
            ++m_batch.cancelled;
            break;
    }
}

void TaskBoard::NoteRunTimeLocked(const Entry& entry, Clock::time_point now) {
    if (entry.status.state != TaskState::Running) return;
    MeanTime& time = entry.kind == MediaKind::Image ? m_imageTime : m_videoTime;
    ++time.count;
    time.seconds += std::chrono::duration<double>(now - entry.started).count();
}

void TaskBoard::SetSucceeded(std::int32_t id, const TaskOutcome& outcome, Clock::time_point now) {
    std::lock_guard lock(m_mutex);
    Entry* entry = FindLocked(id);
    if (!entry) return;
    if (entry->status.state == TaskState::Running) {
        m_batch.bytesIn += outcome.sourceSize;
        m_batch.bytesOut += outcome.outputSize;
    }
    NoteRunTimeLocked(*entry, now);
    EndLocked(*entry, outcome.keptOriginal ? TaskState::KeptOriginal : TaskState::Done);
    entry->status.outcome = outcome;
}

void TaskBoard::SetFailed(std::int32_t id, const TaskFailure& failure, Clock::time_point now) {
    std::lock_guard lock(m_mutex);
    Entry* entry = FindLocked(id);
    if (!entry) return;
    NoteRunTimeLocked(*entry, now);
    EndLocked(*entry, TaskState::Failed);
    entry->status.failure = failure;
}

void TaskBoard::SetStopped(std::int32_t id) {
    std::lock_guard lock(m_mutex);
    if (Entry* entry = FindLocked(id)) EndLocked(*entry, TaskState::Stopped);
}

void TaskBoard::SetCancelled(std::int32_t id) {
    std::lock_guard lock(m_mutex);
    if (Entry* entry = FindLocked(id)) EndLocked(*entry, TaskState::Cancelled);
}

void TaskBoard::NoteVideoProgress(std::int32_t id, std::int32_t durationMs, std::int32_t timeMs,
                                  float speed) {
    std::lock_guard lock(m_mutex);
    if (m_video.id != id) return;
    m_video.durationMs = durationMs;
    m_video.timeMs = timeMs;
    m_video.speed = speed;
}

TaskStatus TaskBoard::Status(std::int32_t id) const {
    std::lock_guard lock(m_mutex);
    const auto at = m_entries.find(id);
    return at == m_entries.end() ? TaskStatus{} : at->second.status;
}

BatchTotals TaskBoard::Totals(Clock::time_point now) const {
    std::lock_guard lock(m_mutex);
    return TotalsLocked(now);
}

BatchTotals TaskBoard::TotalsLocked(Clock::time_point now) const {
    BatchTotals totals = m_batch;
    TimeLeftInput input;
    input.videosWaiting = CountLocked(MediaKind::Video, TaskState::Waiting);
    input.videoRunning = CountLocked(MediaKind::Video, TaskState::Running) > 0;
    if (input.videoRunning && m_video.durationMs > 0 && m_video.speed > 0) {
        const auto at = m_entries.find(m_video.id);
        const double left =
            (m_video.durationMs - m_video.timeMs) / 1000.0 / static_cast<double>(m_video.speed);
        input.runningVideoLeft = left > 0 ? left : 0.0;
        if (at != m_entries.end()) {
            input.runningVideoTotal =
                std::chrono::duration<double>(now - at->second.started).count() +
                *input.runningVideoLeft;
        }
    }
    input.videosFinished = m_videoTime.count;
    input.meanVideoSeconds = m_videoTime.mean();
    input.imagesLeft = CountLocked(MediaKind::Image, TaskState::Waiting) +
                       CountLocked(MediaKind::Image, TaskState::Running);
    input.imagesFinished = m_imageTime.count;
    input.meanImageSeconds = m_imageTime.mean();
    totals.timeLeft = EstimateTimeLeft(input);
    return totals;
}

std::optional<BatchTotals> TaskBoard::TakeEndedBatch(Clock::time_point now) {
    std::lock_guard lock(m_mutex);
    if (m_batchTaken || m_batch.finished == 0 || m_batch.finished < m_batch.total) {
        return std::nullopt;
    }
    m_batchTaken = true;
    return TotalsLocked(now);
}

}  // namespace brisklo
