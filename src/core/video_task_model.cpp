#include "core/video_task_model.h"

#include <algorithm>

#include "core/id_lists.h"
#include "core/log.h"

namespace brisklo {

std::int32_t VideoTaskModel::Add(VideoTask task) {
    std::lock_guard lock(m_mutex);
    const std::int32_t id = m_ids.Next();
    m_videoTasks.emplace(id, std::move(task));
    return id;
}

void VideoTaskModel::Delete(std::int32_t id) {
    std::lock_guard lock(m_mutex);
    m_videoTasks.erase(id);
    std::erase_if(m_paramList, [id](const TaskParam& p) { return p.taskId == id; });
}

std::optional<VideoTask> VideoTaskModel::Find(std::int32_t id) const {
    std::lock_guard lock(m_mutex);
    const auto it = m_videoTasks.find(id);
    if (it == m_videoTasks.end()) return std::nullopt;
    return it->second;
}

void VideoTaskModel::SetParameters(const TaskParam& param) {
    std::lock_guard lock(m_mutex);
    std::erase_if(m_paramList, [&](const TaskParam& p) { return p.taskId == param.taskId; });
    m_paramList.push_back(param);
    LogLine("paramList.size: %d\n", static_cast<int>(m_paramList.size()));
}

void VideoTaskModel::ClearParameters(std::int32_t id) {
    std::lock_guard lock(m_mutex);
    std::erase_if(m_paramList, [id](const TaskParam& p) { return p.taskId == id; });
}

std::optional<TaskParam> VideoTaskModel::FindParameters(std::int32_t id) const {
    std::lock_guard lock(m_mutex);
    for (const TaskParam& param : m_paramList) {
        if (param.taskId == id) return param;
    }
    return std::nullopt;
}

std::size_t VideoTaskModel::ParameterCount() const {
    std::lock_guard lock(m_mutex);
    return m_paramList.size();
}

bool VideoTaskModel::Enqueue(std::int32_t id, bool onlyIfNew) {
    {
        std::lock_guard lock(m_mutex);
        if (onlyIfNew && HoldsId(m_idleTaskList, id)) return false;
        m_idleTaskList.push_back(id);
    }
    m_wake.notify_all();
    return true;
}

void VideoTaskModel::EnqueueAll(std::span<const std::int32_t> ids) {
    {
        std::lock_guard lock(m_mutex);
        for (std::int32_t id : ids) {
            if (!HoldsId(m_idleTaskList, id)) m_idleTaskList.push_back(id);
        }
    }
    m_wake.notify_all();
}

std::optional<std::pair<std::int32_t, VideoTask>> VideoTaskModel::TakeNext() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] {
            return m_shutdown || (m_busyTaskList.empty() && !m_idleTaskList.empty());
        });
        if (m_shutdown) return std::nullopt;
        const std::int32_t id = m_idleTaskList.front();
        m_idleTaskList.pop_front();
        LogLine("idleTaskList task_id: %d\n", id);
        m_busyTaskList.push_back(id);
        const auto it = m_videoTasks.find(id);
        if (it != m_videoTasks.end()) return std::pair{id, it->second};
        // Deleted after it was queued: drop it and wait for the next one.
        RemoveFirstId(m_busyTaskList, id);
    }
}

void VideoTaskModel::RecordOutput(std::int32_t id, std::string path) {
    std::lock_guard lock(m_mutex);
    m_outputPaths[id] = std::move(path);
}

std::optional<std::string> VideoTaskModel::OutputPath(std::int32_t id) const {
    std::lock_guard lock(m_mutex);
    const auto it = m_outputPaths.find(id);
    if (it == m_outputPaths.end()) return std::nullopt;
    return it->second;
}

void VideoTaskModel::Finish(std::int32_t id) {
    {
        std::lock_guard lock(m_mutex);
        if (RemoveFirstId(m_busyTaskList, id)) LogLine("busyTaskList task_id: %d\n", id);
        LogLine("队列数据,size: %d,%d\n", static_cast<int>(m_busyTaskList.size()),
                static_cast<int>(m_idleTaskList.size()));
    }
    m_wake.notify_all();
}

void VideoTaskModel::Shutdown() {
    {
        std::lock_guard lock(m_mutex);
        m_shutdown = true;
    }
    m_wake.notify_all();
}

bool VideoTaskModel::IsWaiting(std::int32_t id) const {
    std::lock_guard lock(m_mutex);
    return HoldsId(m_idleTaskList, id);
}

bool VideoTaskModel::IsBusy(std::int32_t id) const {
    std::lock_guard lock(m_mutex);
    return HoldsId(m_busyTaskList, id);
}

std::vector<std::int32_t> VideoTaskModel::WaitingIds() const {
    std::lock_guard lock(m_mutex);
    return {m_idleTaskList.begin(), m_idleTaskList.end()};
}

std::vector<std::int32_t> VideoTaskModel::BusyIds() const {
    std::lock_guard lock(m_mutex);
    return {m_busyTaskList.begin(), m_busyTaskList.end()};
}

}  // namespace brisklo
