// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/batch_session.h"

#include <system_error>

#include "core/log.h"
#include "core/pending_output.h"
#include "core/settings_source.h"
#include "video/encode_records.h"

namespace brisklo {
namespace fs = std::filesystem;

BatchSession::BatchSession(BatchFrontEnd frontEnd)
    : m_frontEnd(std::move(frontEnd)),
      m_videoView(m_board, m_frontEnd.videoView),
      m_imageView(m_board, m_frontEnd.imageView),
      m_videoCompletion(m_videos, m_videoView),
      m_imageDispatcher(m_images, m_frontEnd.imageOptions, m_frontEnd.settings, m_imageView,
                        m_frontEnd.sink),
      m_imageCompletion(m_images, m_imageDispatcher, m_imageView),
      m_videoWorker(m_videos, m_frontEnd.videoOptions, m_frontEnd.settings, m_videoView,
                    m_frontEnd.sink, m_frontEnd.encoder) {
    m_messages
        .On<MessageId::EncodeProgress>([this](const EncodeProgressPtr& progress) {
            if (!progress) return;
            m_board.NoteVideoProgress(progress->taskId, progress->durationMs, progress->timeMs,
                                      progress->speed);
            m_frontEnd.videoView.ShowProgress(
                progress->taskId, ProgressPercent(progress->durationMs, progress->timeMs),
                progress->speed);
        })
        .On<MessageId::EncodeSucceeded>(
            [this](const EncodeDone& done) { m_videoCompletion.OnSucceeded(done); })
        .On<MessageId::EncodeFailed>(
            [this](const EncodeFailure& failure) { m_videoCompletion.OnFailed(failure); })
        .On<MessageId::ImageDone>(
            [this](const ImageResult& result) { m_imageCompletion.OnImageDone(result); });
}

BatchSession::~BatchSession() { Shutdown(); }

bool BatchSession::Start() {
    // Hidden outputs that a run ended by a crash or a kill left behind.
    if (const int removed = RemoveLeftoverOutputs(m_frontEnd.settings.OutputFolderPath());
        removed > 0) {
        LogLine("removed %d unfinished output(s) of an earlier run\n", removed);
    }
    m_videoWorker.Start();
    return m_imageDispatcher.Start();
}

namespace {

// The same file named by another path ("./a.mp4", "x/../a.mp4") has the same key.
// Lexical, so that ten thousand adds cost no file system calls for it.
std::string PathKey(const fs::path& file) {
    std::error_code error;
    const fs::path absolute = fs::absolute(file, error);
    return (error ? file : absolute).lexically_normal().string();
}

}  // namespace

std::optional<std::int32_t> BatchSession::FindTask(const fs::path& file) const {
    const auto found = m_taskOfPath.find(PathKey(file));
    if (found == m_taskOfPath.end()) return std::nullopt;
    return found->second;
}

Result<std::int32_t> BatchSession::Add(MediaKind kind, const fs::path& file,
                                       const fs::path& outputSubfolder) {
    if (kind == MediaKind::Unknown) {
        return Error{file.string() + ": neither a video nor an image"};
    }
    std::error_code error;
    const auto size = fs::file_size(file, error);
    if (error) return Error{file.string() + ": " + error.message()};
    fs::path absolute = fs::absolute(file, error);
    if (error) absolute = file;
    const std::string name = file.filename().string();
    const auto bytes = static_cast<std::int64_t>(size);
    const std::int32_t id =
        kind == MediaKind::Image
            ? m_images.Add({name, "", absolute, bytes, outputSubfolder})
            : m_videos.Add({name, "", absolute.string(), bytes, outputSubfolder});
    m_board.Add(id, kind, bytes);
    const std::string key = PathKey(absolute);
    m_taskOfPath.emplace(key, id);
    m_pathOfTask.emplace(id, key);
    return id;
}

RemoveStatus BatchSession::Remove(std::int32_t id) {
    const TaskQueue* queue = QueueOf(id);
    if (!queue) return RemoveStatus::UnknownTask;
    if (queue->IsRunning(id)) return RemoveStatus::Running;
    CancelWaiting(id);
    const bool removed = KindOf(id) == MediaKind::Image ? m_images.Remove(id) : m_videos.Delete(id);
    if (!removed) return RemoveStatus::Running;
    m_board.Remove(id);
    if (const auto key = m_pathOfTask.find(id); key != m_pathOfTask.end()) {
        if (const auto task = m_taskOfPath.find(key->second);
            task != m_taskOfPath.end() && task->second == id) {
            m_taskOfPath.erase(task);
        }
        m_pathOfTask.erase(key);
    }
    return RemoveStatus::Removed;
}

TaskQueue* BatchSession::QueueOf(std::int32_t id) {
    const auto kind = KindOf(id);
    if (!kind) return nullptr;
    return *kind == MediaKind::Image ? &m_images.queue() : &m_videos.queue();
}

const TaskQueue* BatchSession::QueueOf(std::int32_t id) const {
    return const_cast<BatchSession*>(this)->QueueOf(id);
}

TrackedView& BatchSession::ViewOf(std::int32_t id) {
    return KindOf(id) == MediaKind::Image ? m_imageView : m_videoView;
}

bool BatchSession::PrepareToQueue(std::int32_t id) {
    const TaskQueue* queue = QueueOf(id);
    if (!queue || queue->IsQueued(id)) return false;
    ViewOf(id).ShowState(id, TaskState::Waiting);
    return true;
}

QueueStatus BatchSession::Enqueue(std::int32_t id) {
    TaskQueue* queue = QueueOf(id);
    if (!queue) return QueueStatus::UnknownTask;
    if (queue->IsRunning(id)) return QueueStatus::Running;
    if (queue->IsWaiting(id)) return QueueStatus::AlreadyWaiting;
    PrepareToQueue(id);
    return queue->Enqueue(id);
}

std::size_t BatchSession::EnqueueAll(std::span<const std::int32_t> ids) {
    std::vector<std::int32_t> videos;
    std::vector<std::int32_t> images;
    for (const std::int32_t id : ids) {
        if (!PrepareToQueue(id)) continue;
        (KindOf(id) == MediaKind::Image ? images : videos).push_back(id);
    }
    return m_videos.queue().EnqueueAll(videos) + m_images.queue().EnqueueAll(images);
}

bool BatchSession::StopTask(std::int32_t id) {
    const TaskQueue* queue = QueueOf(id);
    if (!queue || !queue->IsRunning(id)) return false;
    return KindOf(id) == MediaKind::Image ? m_imageDispatcher.StopTask(id)
                                          : m_videoWorker.StopTask(id);
}

bool BatchSession::CancelWaiting(std::int32_t id) {
    TaskQueue* queue = QueueOf(id);
    if (!queue || !queue->Cancel(id)) return false;
    ViewOf(id).ShowState(id, TaskState::Cancelled);
    return true;
}

bool BatchSession::StopOrCancel(std::int32_t id) { return CancelWaiting(id) || StopTask(id); }

void BatchSession::Pause() {
    m_videos.queue().SetPaused(true);
    m_images.queue().SetPaused(true);
}

void BatchSession::Resume() {
    m_videos.queue().SetPaused(false);
    m_images.queue().SetPaused(false);
}

bool BatchSession::Paused() const { return m_videos.queue().IsPaused(); }

void BatchSession::StopAll() {
    for (TaskQueue* queue : {&m_videos.queue(), &m_images.queue()}) {
        for (const std::int32_t id : queue->CancelAll()) {
            ViewOf(id).ShowState(id, TaskState::Cancelled);
        }
    }
    for (const std::int32_t id : m_videos.queue().RunningIds()) m_videoWorker.StopTask(id);
    for (const std::int32_t id : m_images.queue().RunningIds()) m_imageDispatcher.StopTask(id);
    // Nothing waits any more; the next batch starts unpaused.
    Resume();
}

bool BatchSession::Dispatch(MessageId id, const std::any& payload) {
    return m_messages.Dispatch(id, payload);
}

bool BatchSession::Idle() const { return m_videos.queue().IsIdle() && m_images.queue().IsIdle(); }

void BatchSession::Shutdown() {
    // The encoder first: it may be writing far more than any image job.
    m_videoWorker.Stop();
    m_imageDispatcher.Stop();
}

TaskStatus BatchSession::Status(std::int32_t id) const {
    TaskStatus status = m_board.Status(id);
    if (status.state == TaskState::Waiting) {
        if (const TaskQueue* queue = QueueOf(id)) status.queuePlace = queue->WaitingPlace(id);
    }
    return status;
}

BatchTotals BatchSession::Totals() const { return m_board.Totals(TaskBoard::Clock::now()); }

std::optional<BatchTotals> BatchSession::TakeEndedBatch() {
    return m_board.TakeEndedBatch(TaskBoard::Clock::now());
}

}  // namespace brisklo
