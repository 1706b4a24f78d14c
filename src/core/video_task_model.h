#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "core/task_ids.h"
#include "core/video_task.h"

namespace brisklo {

// The tables behind the video list and the queue that drives the video worker.
// One lock guards them all and is held only for table work. An id is in the
// waiting list or the busy list at every moment from queueing to finishing.
class VideoTaskModel {
  public:
    explicit VideoTaskModel(TaskIdCounter& ids) : m_ids(ids) {}

    // Stores the task under the next id of the shared counter and returns the id.
    std::int32_t Add(VideoTask task);
    // Erases the task and its parameters.
    void Delete(std::int32_t id);
    std::optional<VideoTask> Find(std::int32_t id) const;

    // Keeps one parameter record per task: the newest, at the end.
    void SetParameters(const TaskParam& param);
    void ClearParameters(std::int32_t id);
    std::optional<TaskParam> FindParameters(std::int32_t id) const;
    std::size_t ParameterCount() const;

    // Appends the id to the waiting list and wakes the worker. With onlyIfNew
    // an id that already waits changes nothing; returns whether it was added.
    bool Enqueue(std::int32_t id, bool onlyIfNew);
    // Compress-all: queues each id not already waiting, then wakes once.
    void EnqueueAll(std::span<const std::int32_t> ids);

    // The worker's wait: blocks until nothing runs and something waits, moves
    // the head of the waiting list to the busy list and returns it with a copy of
    // its task. Returns none once Shutdown has been called.
    std::optional<std::pair<std::int32_t, VideoTask>> TakeNext();
    void RecordOutput(std::int32_t id, std::string path);
    std::optional<std::string> OutputPath(std::int32_t id) const;
    // Takes the id off the busy list and wakes the worker.
    void Finish(std::int32_t id);
    // Wakes the worker for good.
    void Shutdown();

    bool IsWaiting(std::int32_t id) const;
    bool IsBusy(std::int32_t id) const;
    std::vector<std::int32_t> WaitingIds() const;
    std::vector<std::int32_t> BusyIds() const;

  private:
    TaskIdCounter& m_ids;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_shutdown = false;
    std::map<std::int32_t, VideoTask> m_videoTasks;
    std::vector<TaskParam> m_paramList;
    std::deque<std::int32_t> m_idleTaskList;
    std::deque<std::int32_t> m_busyTaskList;
    std::map<std::int32_t, std::string> m_outputPaths;
};

}  // namespace brisklo
