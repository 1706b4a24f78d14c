// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "core/task_list.h"
#include "core/video_task.h"

namespace brisklo {

// The tables behind the video list: the tasks and their queue (one encode at a
// time), each task's own parameters, and the output of each task's latest encode.
class VideoTaskModel {
  public:
    explicit VideoTaskModel(TaskIdCounter& ids) : m_tasks(ids, 1, kVideoQueueNames) {}

    std::int32_t Add(VideoTask task) { return m_tasks.Add(std::move(task)); }
    // Erases the task and its parameters; refused (false) while it waits or runs.
    bool Delete(std::int32_t id);
    std::optional<VideoTask> Find(std::int32_t id) const { return m_tasks.Find(id); }

    // Keeps one parameter record per task: the newest, at the end.
    void SetParameters(const TaskParam& param);
    void ClearParameters(std::int32_t id);
    std::optional<TaskParam> FindParameters(std::int32_t id) const;
    std::size_t ParameterCount() const;

    // Queues a known task; refused while it waits or runs.
    QueueStatus Enqueue(std::int32_t id);
    // Compress-all: queues each id that neither waits nor runs, then wakes once.
    std::size_t EnqueueAll(std::span<const std::int32_t> ids);

    // The worker's wait: blocks until nothing runs and something waits, and
    // returns the next task with a copy of its record. None once shut down.
    std::optional<std::pair<std::int32_t, VideoTask>> TakeNext();
    void RecordOutput(std::int32_t id, std::string path);
    std::optional<std::string> OutputPath(std::int32_t id) const;
    // Takes the id off the running list and wakes the worker.
    void Finish(std::int32_t id) { m_tasks.queue().Finish(id); }
    // Wakes the worker for good.
    void Shutdown() { m_tasks.queue().Shutdown(); }

    // idleTaskList and busyTaskList.
    TaskQueue& queue() { return m_tasks.queue(); }
    const TaskQueue& queue() const { return m_tasks.queue(); }

  private:
    TaskList<VideoTask> m_tasks;
    mutable std::mutex m_mutex;  // the parameters and outputs
    std::vector<TaskParam> m_paramList;
    std::map<std::int32_t, std::string> m_outputPaths;
};

}  // namespace brisklo
