// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <stop_token>
#include <string>
#include <thread>

#include "core/messages.h"
#include "image/image_job.h"
#include "image/image_task.h"

namespace brisklo {

class ImageOptionsProvider;
class SettingsSource;
class TaskView;

// The thread that serves the image queue and the pool of running image jobs, at
// most ImageTaskList::kMaxRunningJobs, each on a thread of its own. A job's end
// arrives as MessageId::ImageDone (payload ImageResult) on the sink; ImageCompletion
// handles it on the owner's thread, which releases the job here and frees its slot
// in the queue. Failed jobs are reported the same way, so failures never block the
// queue.
class ImageDispatcher {
  public:
    // Everything given must outlive the dispatcher. config gives the output folder,
    // resolved for each task.
    ImageDispatcher(ImageTaskList& tasks, ImageOptionsProvider& options,
                    const SettingsSource& config, TaskView& view, MessageSink& sink);
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

    // Asks the task's running job to stop; it removes what it had written and posts
    // its result as stopped. A task taken but whose job has not started yet is
    // stopped before it starts. False when the task does not run.
    bool StopTask(std::int32_t id);

    // Joins the thread of the task's finished job; false when no job of that task
    // runs (its result is then to be dropped).
    bool Release(std::int32_t id);

  private:
    struct RunningImageJob {
        ImageJob job;
        std::jthread thread;
    };

    void DispatchLoop();
    void StartJob(std::int32_t id, const ImageTask& task);
    void PostFailure(std::int32_t id, std::string reason, FailureCode code);

    ImageTaskList& m_tasks;
    ImageOptionsProvider& m_options;
    const SettingsSource& m_config;
    TaskView& m_view;
    MessageSink& m_sink;

    std::mutex m_jobsLock;  // the running jobs and the stop flag
    bool m_stopping = false;
    std::map<std::int32_t, std::unique_ptr<RunningImageJob>> m_jobs;
    std::set<std::int32_t> m_stopBeforeStart;  // taken, stopped before their job started

    std::mutex m_lifecycle;  // Start and Stop
    std::thread m_dispatcher;
};

}  // namespace brisklo
