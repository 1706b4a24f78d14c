// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/image_dispatcher.h"

#include <exception>
#include <system_error>
#include <utility>

#include "core/file_utils.h"
#include "core/log.h"
#include "core/media_options.h"
#include "core/settings_source.h"
#include "core/task_view.h"
#include "image/magick_runtime.h"

namespace brisklo {

ImageDispatcher::ImageDispatcher(ImageTaskList& tasks, ImageOptionsProvider& options,
                                 const SettingsSource& config, TaskView& view, MessageSink& sink)
    : m_tasks(tasks), m_options(options), m_config(config), m_view(view), m_sink(sink) {}

ImageDispatcher::~ImageDispatcher() { Stop(); }

bool ImageDispatcher::Start() {
    std::lock_guard lifecycle(m_lifecycle);
    {
        std::lock_guard lock(m_jobsLock);
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
        std::lock_guard lock(m_jobsLock);
        m_stopping = true;
    }
    m_tasks.queue().Shutdown();
    if (m_dispatcher.joinable()) m_dispatcher.join();

    std::map<std::int32_t, std::unique_ptr<RunningImageJob>> running;
    {
        std::lock_guard lock(m_jobsLock);
        running.swap(m_jobs);
    }
    for (auto& entry : running) entry.second->thread.request_stop();
    for (auto& entry : running) {
        entry.second.reset();  // joins the job's thread
        m_tasks.queue().Finish(entry.first);
    }
}

void ImageDispatcher::DispatchLoop() {
    bool libraryReady = false;
    while (const auto id = m_tasks.queue().TakeNext()) {
        // The coders load here, before the first jobs start together (their first
        // use is not thread-safe), and only once images are asked for: a window
        // starting up or a batch of videos does not pay for them.
        if (!std::exchange(libraryReady, true)) InitializeImageLibrary();
        const auto task = m_tasks.Find(*id);
        if (!task) {
            // Tasks cannot be removed while queued; should one be gone, skip it.
            m_tasks.queue().Finish(*id);
            continue;
        }
        try {
            StartJob(*id, *task);
        } catch (const std::exception& error) {
            PostFailure(*id,
                        task->fullPath.string() + ": cannot start the image job: " + error.what(),
                        FailureCode::Unknown);
        }
    }
}

void ImageDispatcher::StartJob(std::int32_t id, const ImageTask& task) {
    m_view.ShowRunning(id);
    ImageJobSettings settings = ImageJobSettingsFor(m_options.CurrentImageOptions(), m_config);
    settings.outputDir = OutputFolderFor(settings.outputDir, task.outputSubfolder);

    std::unique_lock lock(m_jobsLock);
    if (m_stopping) {
        // Taken off the queue just as the dispatcher stops: it never ran.
        lock.unlock();
        m_tasks.queue().Finish(id);
        return;
    }
    if (m_stopBeforeStart.erase(id) > 0) {
        lock.unlock();
        PostFailure(id, task.fullPath.string() + ": stopped before it started",
                    FailureCode::Stopped);
        return;
    }
    auto& running = m_jobs[id];
    running = std::make_unique<RunningImageJob>();
    running->job = ImageJob{id, task.fullPath, std::move(settings)};
    try {
        // Started with the lock held: the job's release takes the same lock, so its
        // thread handle is in place before the result can be handled.
        const ImageJob& job = running->job;
        running->thread =
            std::jthread([this, &job](std::stop_token stop) { RunImageJob(stop, job, m_sink); });
    } catch (const std::system_error& error) {
        lock.unlock();
        PostFailure(id, task.fullPath.string() + ": cannot start the image job: " + error.what(),
                    FailureCode::Unknown);
    }
}

void ImageDispatcher::PostFailure(std::int32_t id, std::string reason, FailureCode code) {
    LogLine("%s\n", reason.c_str());
    {
        // The result needs a running entry to be handled and free the slot.
        std::lock_guard lock(m_jobsLock);
        auto& running = m_jobs[id];
        if (!running) running = std::make_unique<RunningImageJob>();
    }
    ImageResult result;
    result.taskId = id;
    result.reason = std::move(reason);
    result.failure = code;
    PostMessage<MessageId::ImageDone>(m_sink, std::move(result));
}

bool ImageDispatcher::StopTask(std::int32_t id) {
    std::lock_guard lock(m_jobsLock);
    const auto at = m_jobs.find(id);
    if (at == m_jobs.end()) {
        if (!m_tasks.queue().IsRunning(id)) return false;
        m_stopBeforeStart.insert(id);
        return true;
    }
    if (!at->second->thread.joinable()) return false;
    return at->second->thread.request_stop();
}

bool ImageDispatcher::Release(std::int32_t id) {
    std::unique_ptr<RunningImageJob> finished;
    {
        std::lock_guard lock(m_jobsLock);
        // A stop asked for once the job had ended is no stop for a later run.
        m_stopBeforeStart.erase(id);
        const auto at = m_jobs.find(id);
        if (at == m_jobs.end()) return false;
        finished = std::move(at->second);
        m_jobs.erase(at);
    }
    // Joins the job's thread (posting its result was the last thing it did) before
    // the slot is freed, so no more than three job threads ever exist.
    finished.reset();
    return true;
}

}  // namespace brisklo
