// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>

#include "core/messages.h"
#include "core/video_task.h"
#include "video/encode_run.h"

namespace brisklo {

class SettingsSource;
class VideoOptionsProvider;
class VideoTaskModel;
class TaskView;

// Runs queued video tasks one after another: takes the next task, shows its row
// running, asks for the options of this moment (a task's own parameters win over
// them), builds the command, starts the
// encoder and records the output. The encode's end arrives as a posted message;
// VideoCompletion finishes the task, which lets the worker take the next one.
// A task that cannot start is reported as failed and the queue goes on.
class VideoWorker {
  public:
    // config gives the output folder, resolved for each task.
    VideoWorker(VideoTaskModel& model, VideoOptionsProvider& options, const SettingsSource& config,
                TaskView& view, MessageSink& sink, std::filesystem::path encoder);
    ~VideoWorker();  // stops

    void Start();
    // Stops the running encode (its output is removed) and ends the thread.
    void Stop();
    // Stops the encode of task id when it is the one running: it ends as failed,
    // its output removed, and the queue goes on. False when it is not running.
    bool StopTask(std::int32_t id);

  private:
    void Run();
    void StartTask(std::int32_t id, const VideoTask& task);

    VideoTaskModel& m_model;
    VideoOptionsProvider& m_options;
    const SettingsSource& m_config;
    TaskView& m_view;
    MessageSink& m_sink;
    const std::filesystem::path m_encoder;
    std::atomic<bool> m_stopping{false};
    std::mutex m_runMutex;  // guards m_run between the worker and Stop
    std::unique_ptr<EncodeRun> m_run;
    std::int32_t m_runId = -1;  // the task of m_run
    // A task stopped after it was taken but before its encoder started.
    std::int32_t m_stopBeforeStart = -1;
    std::thread m_thread;
};

}  // namespace brisklo
