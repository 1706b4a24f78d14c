#include "image/image_dispatcher.h"

#include <algorithm>
#include <exception>
#include <sstream>
#include <system_error>

#include "core/file_utils.h"
#include "core/id_lists.h"
#include "core/log.h"
#include "core/saving.h"

namespace brisklo {
namespace fs = std::filesystem;

ImageDispatcher::ImageDispatcher(TaskIdCounter& ids, MessageSink& sink, ImageRowView& view,
                                 ImageSettingsProvider settings)
    : m_ids(ids), m_sink(sink), m_view(view), m_settings(std::move(settings)) {}

ImageDispatcher::~ImageDispatcher() { Stop(); }

bool ImageDispatcher::Start() {
    std::lock_guard lifecycle(m_lifecycle);
    {
        std::lock_guard lock(m_imageLock);
        if (m_stopping) return false;
    }
    if (m_dispatcher.joinable()) return true;
    try {
        m_dispatcher = std::thread([this] { DispatchLoop(); });
    } catch (const std::system_error& error) {
        LogLine("cannot start the image dispatcher: %s\n", error.what());
        return false;
    }
    return true;
}

void ImageDispatcher::Stop() {
    std::lock_guard lifecycle(m_lifecycle);
    {
        std::lock_guard lock(m_imageLock);
        m_stopping = true;
    }
    m_imageCondition.notify_all();
    if (m_dispatcher.joinable()) m_dispatcher.join();

    std::map<std::int32_t, std::unique_ptr<RunningImageJob>> running;
    {
        std::lock_guard lock(m_imageLock);
        running.swap(m_runningImageJobs);
        m_busyTaskImageList.clear();
    }
    for (auto& entry : running) entry.second->thread.request_stop();
    running.clear();  // joins every job thread
}

std::int32_t ImageDispatcher::AddTask(ImageTask task) {
    std::lock_guard lock(m_imageLock);
    const std::int32_t id = m_ids.Next();
    m_imageTasks.emplace(id, std::move(task));
    return id;
}

bool ImageDispatcher::RemoveTask(std::int32_t id) {
    std::lock_guard lock(m_imageLock);
    if (IsWaitingLocked(id) || IsBusyLocked(id)) return false;
    return m_imageTasks.erase(id) > 0;
}

std::optional<ImageTask> ImageDispatcher::FindTask(std::int32_t id) const {
    std::lock_guard lock(m_imageLock);
    const auto at = m_imageTasks.find(id);
    if (at == m_imageTasks.end()) return std::nullopt;
    return at->second;
}

bool ImageDispatcher::IsBusyLocked(std::int32_t id) const {
    return HoldsId(m_busyTaskImageList, id);
}

bool ImageDispatcher::IsWaitingLocked(std::int32_t id) const {
    return HoldsId(m_idleTaskImageList, id);
}

QueueStatus ImageDispatcher::EnqueueLocked(std::int32_t id) {
    if (!m_imageTasks.contains(id)) return QueueStatus::UnknownTask;
    if (IsBusyLocked(id)) return QueueStatus::Running;
    if (IsWaitingLocked(id)) return QueueStatus::AlreadyWaiting;
    m_idleTaskImageList.push_back(id);
    return QueueStatus::Queued;
}

QueueOutcome ImageDispatcher::QueueTask(std::int32_t id, const CustomSizeFields& size) {
    if (const auto notice = CheckCustomSize(size)) {
        return {QueueStatus::Refused, std::string(*notice)};
    }
    {
        std::lock_guard lock(m_imageLock);
        if (!m_imageTasks.contains(id)) return {QueueStatus::UnknownTask, {}};
        if (IsBusyLocked(id)) return {QueueStatus::Running, {}};
    }
    // The row shows the wait before the id is queued: once queued, the dispatcher
    // may show it running at any moment.
    m_view.ShowWaiting(id);
    QueueStatus status;
    {
        std::lock_guard lock(m_imageLock);
        status = EnqueueLocked(id);
    }
    if (status == QueueStatus::Queued) m_imageCondition.notify_one();
    return {status, {}};
}

QueueOutcome ImageDispatcher::QueueAll(std::span<const std::int32_t> ids,
                                       const CustomSizeFields& size) {
    if (const auto notice = CheckCustomSize(size)) {
        return {QueueStatus::Refused, std::string(*notice)};
    }
    std::vector<std::int32_t> candidates;
    {
        std::lock_guard lock(m_imageLock);
        if (m_imageTasks.empty()) return {QueueStatus::Refused, std::string(kNoImagesNotice)};
        for (const std::int32_t id : ids) {
            if (m_imageTasks.contains(id) && !IsBusyLocked(id) && !IsWaitingLocked(id) &&
                !HoldsId(candidates, id)) {
                candidates.push_back(id);
            }
        }
    }
    for (const std::int32_t id : candidates) m_view.ShowWaiting(id);
    bool queued = false;
    {
        std::lock_guard lock(m_imageLock);
        for (const std::int32_t id : candidates) queued |= EnqueueLocked(id) == QueueStatus::Queued;
    }
    if (!queued) return {QueueStatus::AlreadyWaiting, {}};
    m_imageCondition.notify_one();
    return {QueueStatus::Queued, {}};
}

std::optional<std::pair<std::int32_t, std::optional<ImageTask>>> ImageDispatcher::TakeNext() {
    std::unique_lock lock(m_imageLock);
    m_imageCondition.wait(lock, [this] {
        return m_stopping ||
               (m_busyTaskImageList.size() < kMaxRunningJobs && !m_idleTaskImageList.empty());
    });
    if (m_stopping) return std::nullopt;
    const std::int32_t id = m_idleTaskImageList.front();
    m_idleTaskImageList.pop_front();
    LogLine("idleTaskImageList task_id: %d\n", id);
    // Busy from this moment, so the task counts against the slots and cannot be
    // queued again while it starts.
    m_busyTaskImageList.push_back(id);
    std::optional<ImageTask> task;
    if (const auto at = m_imageTasks.find(id); at != m_imageTasks.end()) task = at->second;
    return std::pair{id, std::move(task)};
}

void ImageDispatcher::DispatchLoop() {
    while (auto next = TakeNext()) {
        const std::int32_t id = next->first;
        if (!next->second) {
            // Tasks cannot be removed while queued; should one be gone, skip it.
            std::lock_guard lock(m_imageLock);
            RemoveFirstId(m_busyTaskImageList, id);
            continue;
        }
        try {
            StartJob(id, *next->second);
        } catch (const std::exception& error) {
            PostFailure(id, next->second->fullPath.string() +
                                ": cannot start the image job: " + error.what());
        }
    }
}

void ImageDispatcher::StartJob(std::int32_t id, const ImageTask& task) {
    m_view.ShowRunning(id, ImageRowRunning{});

    Result<ImageJobSettings> settings = Error{"no image settings are available"};
    if (m_settings) {
        try {
            settings = m_settings();
        } catch (const std::exception& error) {
            settings = Error{error.what()};
        }
    }
    if (!settings) {
        PostFailure(id, task.fullPath.string() + ": " + settings.error().message);
        return;
    }

    std::unique_lock lock(m_imageLock);
    if (m_stopping) {
        RemoveFirstId(m_busyTaskImageList, id);
        return;
    }
    auto& running = m_runningImageJobs[id];
    running = std::make_unique<RunningImageJob>();
    running->job = ImageJob{id, task.fullPath, std::move(settings).value()};
    try {
        // Started with the lock held: the job's result is handled under the same
        // lock, so its thread handle is in place before the result can be.
        const ImageJob& job = running->job;
        running->thread =
            std::jthread([this, &job](std::stop_token stop) { RunImageJob(stop, job, m_sink); });
    } catch (const std::system_error& error) {
        lock.unlock();
        PostFailure(id, task.fullPath.string() + ": cannot start the image job: " + error.what());
    }
}

void ImageDispatcher::PostFailure(std::int32_t id, std::string reason) {
    LogLine("%s\n", reason.c_str());
    {
        // The result needs a running entry to be handled and free the slot.
        std::lock_guard lock(m_imageLock);
        auto& running = m_runningImageJobs[id];
        if (!running) running = std::make_unique<RunningImageJob>();
    }
    ImageResult result;
    result.taskId = id;
    result.reason = std::move(reason);
    m_sink.Post(MessageId::ImageDone, std::move(result));
}

void ImageDispatcher::OnImageDone(const ImageResult& result) {
    const std::int32_t id = result.taskId;
    std::int64_t sourceSize = 0;
    {
        std::lock_guard lock(m_imageLock);
        if (!m_runningImageJobs.contains(id)) return;
        if (const auto at = m_imageTasks.find(id); at != m_imageTasks.end()) {
            sourceSize = at->second.fileSize;
        }
    }

    ShowResult(result, sourceSize);

    std::unique_ptr<RunningImageJob> finished;
    {
        std::lock_guard lock(m_imageLock);
        if (auto at = m_runningImageJobs.find(id); at != m_runningImageJobs.end()) {
            finished = std::move(at->second);
            m_runningImageJobs.erase(at);
        }
        if (RemoveFirstId(m_busyTaskImageList, id)) LogLine("busyTaskImageList task_id: %d\n", id);
        LogLine("ImageCompress,size: %d,%d\n", static_cast<int>(m_busyTaskImageList.size()),
                static_cast<int>(m_idleTaskImageList.size()));
    }
    // Joins the job's thread (posting its result was the last thing it did) before
    // the next job may start, so no more than three job threads ever exist.
    finished.reset();
    m_imageCondition.notify_one();
}

void ImageDispatcher::ShowResult(const ImageResult& result, std::int64_t sourceSize) {
    const std::int32_t id = result.taskId;
    if (!result.ok) {
        ImageRowFailed row;
        row.reason = result.reason;
        m_view.ShowFailed(id, row);
        return;
    }
    std::error_code error;
    const auto size = fs::file_size(result.outputPath, error);
    if (error) {
        ImageRowFailed row;
        row.reason =
            result.outputPath.string() + ": the output file is missing (" + error.message() + ")";
        LogLine("%s\n", row.reason.c_str());
        m_view.ShowFailed(id, row);
        return;
    }
    ImageRowFinished row;
    row.sourceSize = sourceSize;
    row.outputSize = static_cast<std::int64_t>(size);
    row.outputPath = result.outputPath;
    row.keptOriginal = result.keptOriginal;
    row.sizeText = FormatFileSize(row.outputSize);
    const std::optional<float> percent = ComputeSaving(row.sourceSize, row.outputSize);
    LogLine("srcFile.fileSize: %lld\n", static_cast<long long>(row.sourceSize));
    LogLine("fileSize: %lld\n", static_cast<long long>(row.outputSize));
    row.savingColor = kSavingColor;
    if (percent) {
        std::ostringstream text;
        text << *percent;
        LogLine("percent: %s\n", text.str().c_str());
        row.savingText = SavingText(*percent);
        row.savingColor = SavingColor(*percent);
    }
    m_view.ShowFinished(id, row);
}

bool ImageDispatcher::HandleMessage(MessageId id, const std::any& payload) {
    if (id != MessageId::ImageDone) return false;
    if (const auto* result = std::any_cast<ImageResult>(&payload)) OnImageDone(*result);
    return true;
}

std::vector<std::int32_t> ImageDispatcher::WaitingIds() const {
    std::lock_guard lock(m_imageLock);
    return {m_idleTaskImageList.begin(), m_idleTaskImageList.end()};
}

std::vector<std::int32_t> ImageDispatcher::RunningIds() const {
    std::lock_guard lock(m_imageLock);
    return m_busyTaskImageList;
}

}  // namespace brisklo
