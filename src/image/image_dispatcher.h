#pragma once

#include <any>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "core/messages.h"
#include "core/result.h"
#include "core/task_ids.h"
#include "image/image_job.h"
#include "image/image_row_view.h"
#include "image/image_size_check.h"
#include "image/image_task.h"

namespace brisklo {

// The image options of this moment, asked for each time a task starts. It runs on
// the dispatcher thread without the image lock, and must not wait for the thread
// that calls ImageDispatcher::Stop (answer from a snapshot the UI keeps current,
// or from the settings store). An error (for example an output folder that cannot
// be made) fails that task with the error's text.
using ImageSettingsProvider = std::function<Result<ImageJobSettings>()>;

enum class QueueStatus {
    Queued,          // appended to the waiting list; the dispatcher was woken
    AlreadyWaiting,  // nothing changed
    Running,         // refused: a task is never queued again while it runs
    UnknownTask,     // no such task
    Refused,         // refused with a notice for the user (see QueueOutcome::notice)
};

struct QueueOutcome {
    QueueStatus status = QueueStatus::Queued;
    // The text of the one-button notice to show when status is Refused.
    std::string notice;
};

// Notice of compress-all when the image list has no rows.
inline constexpr std::string_view kNoImagesNotice = "请先添加文件!";

// The image list's bookkeeping and the dispatcher thread that runs its queue: at
// most kMaxRunningJobs image jobs at once, each on a thread of its own. A job's end
// arrives as MessageId::ImageDone (payload ImageResult) on the owner's sink; the
// owner hands it to OnImageDone on its UI thread, which shows the row and frees the
// slot for the next waiting task. Failed jobs are reported the same way, so
// failures never block the queue.
//
// One lock guards the tasks, both id lists and the running jobs; it is held only for
// that table work, never while a row is shown, settings are read or a thread is
// waited for.
class ImageDispatcher {
  public:
    static constexpr std::size_t kMaxRunningJobs = 3;

    // The counter, sink and view must outlive the dispatcher.
    ImageDispatcher(TaskIdCounter& ids, MessageSink& sink, ImageRowView& view,
                    ImageSettingsProvider settings);
    ~ImageDispatcher();  // Stop()
    ImageDispatcher(const ImageDispatcher&) = delete;
    ImageDispatcher& operator=(const ImageDispatcher&) = delete;

    // Starts the dispatcher thread (once); false when it cannot be started or the
    // dispatcher was stopped.
    [[nodiscard]] bool Start();
    // Starts no further job, asks the running ones to stop (each removes what it had
    // written and still posts its result), waits for them and joins the dispatcher.
    // Safe to call more than once; the dispatcher cannot be started again.
    void Stop();

    // Stores the task under the next id of the shared counter and returns the id.
    std::int32_t AddTask(ImageTask task);
    // Erases a task; refused (false) while it waits or runs, or when unknown.
    bool RemoveTask(std::int32_t id);
    std::optional<ImageTask> FindTask(std::int32_t id) const;

    // Starts one task: the row button "imageCompressBtn" and the compress-again
    // command (message 1229). With the custom size on, the size fields are checked
    // first and a bad one refuses with its notice. Otherwise the row shows it waits
    // and the id is appended unless it already waits or runs.
    QueueOutcome QueueTask(std::int32_t id, const CustomSizeFields& size);
    // Compress-all over the checked rows: the size check, then kNoImagesNotice when
    // there are no tasks at all, then every id that neither waits nor runs is queued
    // and the dispatcher woken once. Returns Queued when anything was queued.
    QueueOutcome QueueAll(std::span<const std::int32_t> ids, const CustomSizeFields& size);

    // Message 1126: shows the row finished (size and saving) or failed, then frees
    // the task's slot and wakes the dispatcher. A result for a task without a
    // running job is dropped.
    void OnImageDone(const ImageResult& result);
    // For the owner's message loop: handles MessageId::ImageDone, false otherwise.
    bool HandleMessage(MessageId id, const std::any& payload);

    std::vector<std::int32_t> WaitingIds() const;  // idleTaskImageList, in order
    std::vector<std::int32_t> RunningIds() const;  // busyTaskImageList, in order

  private:
    struct RunningImageJob {
        ImageJob job;
        std::jthread thread;
    };

    void DispatchLoop();
    // Takes the next waiting id when a slot is free; none once stopping.
    std::optional<std::pair<std::int32_t, std::optional<ImageTask>>> TakeNext();
    void StartJob(std::int32_t id, const ImageTask& task);
    void PostFailure(std::int32_t id, std::string reason);
    void ShowResult(const ImageResult& result, std::int64_t sourceSize);
    // The *Locked helpers expect the image lock held.
    QueueStatus EnqueueLocked(std::int32_t id);
    bool IsBusyLocked(std::int32_t id) const;
    bool IsWaitingLocked(std::int32_t id) const;

    TaskIdCounter& m_ids;
    MessageSink& m_sink;
    ImageRowView& m_view;
    const ImageSettingsProvider m_settings;

    mutable std::mutex m_imageLock;
    std::condition_variable m_imageCondition;
    bool m_stopping = false;
    std::map<std::int32_t, ImageTask> m_imageTasks;
    std::deque<std::int32_t> m_idleTaskImageList;
    std::vector<std::int32_t> m_busyTaskImageList;
    std::map<std::int32_t, std::unique_ptr<RunningImageJob>> m_runningImageJobs;

    std::mutex m_lifecycle;  // Start and Stop
    std::thread m_dispatcher;
};

}  // namespace brisklo
