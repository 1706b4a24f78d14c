// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <any>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>

#include "batch/batch_totals.h"
#include "batch/task_board.h"
#include "batch/task_status.h"
#include "batch/tracked_view.h"
#include "core/message_table.h"
#include "core/messages.h"
#include "core/result.h"
#include "core/task_ids.h"
#include "core/video_task_model.h"
#include "image/image_completion.h"
#include "image/image_dispatcher.h"
#include "image/image_task.h"
#include "video/video_completion.h"
#include "video/video_view.h"
#include "video/video_worker.h"

namespace brisklo {

class ImageOptionsProvider;
class SettingsSource;
class VideoOptionsProvider;

// What a front end brings to a session: where the options of the moment come
// from, the settings, where the workers post to, and its two lists. Everything
// must outlive the session.
struct BatchFrontEnd {
    VideoOptionsProvider& videoOptions;
    ImageOptionsProvider& imageOptions;
    const SettingsSource& settings;
    MessageSink& sink;
    VideoView& videoView;
    TaskView& imageView;
    std::filesystem::path encoder;
};

enum class RemoveStatus { Removed, Running, UnknownTask };

// One batch of videos and images under one owner: the task ids, both lists and
// their queues, the video worker (one encode at a time), the image dispatcher
// (up to three jobs), their completions, the state of every task and the totals.
// Every call but the workers' own is made on the owner's thread, which also hands
// each posted message to Dispatch.
class BatchSession {
  public:
    explicit BatchSession(BatchFrontEnd frontEnd);
    ~BatchSession();  // Shutdown()
    BatchSession(const BatchSession&) = delete;
    BatchSession& operator=(const BatchSession&) = delete;

    // Removes the hidden outputs a crashed run left in the output folder and starts
    // the workers; false when the image jobs cannot be started.
    [[nodiscard]] bool Start();

    // A new idle task for the file; the error names the file when it cannot be read.
    // outputSubfolder: where under the output folder its output goes.
    Result<std::int32_t> Add(MediaKind kind, const std::filesystem::path& file,
                             const std::filesystem::path& outputSubfolder = {});
    // The task of a file already in a list (by its absolute path, "." and ".."
    // resolved), if any.
    std::optional<std::int32_t> FindTask(const std::filesystem::path& file) const;
    // Deletes a task, cancelling it first when it waits; a running task is kept.
    RemoveStatus Remove(std::int32_t id);

    // Queues a task; refused while it waits or runs.
    QueueStatus Enqueue(std::int32_t id);
    // Queues each id that neither waits nor runs, waking each worker once; returns
    // how many were queued.
    std::size_t EnqueueAll(std::span<const std::int32_t> ids);

    // Stops a running task: its output is removed and it ends as stopped. False
    // when it does not run.
    bool StopTask(std::int32_t id);
    // Takes a waiting task off its queue: it ends as cancelled. False when it does
    // not wait.
    bool CancelWaiting(std::int32_t id);
    // Cancels the task when it waits, stops it when it runs.
    bool StopOrCancel(std::int32_t id);
    // Paused, the running tasks finish and nothing new starts until Resume.
    void Pause();
    void Resume();
    bool Paused() const;
    // Cancels every waiting task and stops every running one. Their ends arrive as
    // messages like any other; the session is idle once they are dispatched.
    void StopAll();

    // Handles the workers' messages; false for any other message.
    bool Dispatch(MessageId id, const std::any& payload);
    // Nothing waits and nothing runs.
    bool Idle() const;
    // Stops the running encode and image jobs (each removes its unfinished output)
    // and joins the workers. The session takes no more work.
    void Shutdown();

    std::optional<MediaKind> KindOf(std::int32_t id) const { return m_board.KindOf(id); }
    TaskStatus Status(std::int32_t id) const;
    BatchTotals Totals() const;
    // The totals of the batch that has just ended, once; none while it runs.
    std::optional<BatchTotals> TakeEndedBatch();

    // The tables behind the lists, for what the session does not change itself
    // (a video task's own parameters, the latest output of a task).
    VideoTaskModel& videos() { return m_videos; }
    const ImageTaskList& images() const { return m_images; }

  private:
    TaskQueue* QueueOf(std::int32_t id);
    const TaskQueue* QueueOf(std::int32_t id) const;
    TrackedView& ViewOf(std::int32_t id);
    // Shows the task waiting before it is queued: once queued, a worker may show it
    // running at any moment.
    bool PrepareToQueue(std::int32_t id);

    BatchFrontEnd m_frontEnd;
    TaskIdCounter m_ids;
    // The tasks by their file's canonical path, and back.
    std::unordered_map<std::string, std::int32_t> m_taskOfPath;
    std::unordered_map<std::int32_t, std::string> m_pathOfTask;
    VideoTaskModel m_videos{m_ids};
    ImageTaskList m_images{m_ids};
    TaskBoard m_board;
    TrackedView m_videoView;
    TrackedView m_imageView;
    VideoCompletion m_videoCompletion;
    ImageDispatcher m_imageDispatcher;
    ImageCompletion m_imageCompletion;
    MessageTable m_messages;
    VideoWorker m_videoWorker;  // last: stopped before what it uses goes
};

}  // namespace brisklo
