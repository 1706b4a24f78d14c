// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/video_task_model.h"

#include <algorithm>

#include "core/log.h"

namespace brisklo {

bool VideoTaskModel::Delete(std::int32_t id) {
    if (m_tasks.queue().IsQueued(id)) return false;
    (void)m_tasks.Remove(id);
    ClearParameters(id);
    return true;
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

QueueStatus VideoTaskModel::Enqueue(std::int32_t id) { return m_tasks.Enqueue(id); }

std::size_t VideoTaskModel::EnqueueAll(std::span<const std::int32_t> ids) {
    return m_tasks.EnqueueAll(ids);
}

std::optional<std::pair<std::int32_t, VideoTask>> VideoTaskModel::TakeNext() {
    while (const auto id = m_tasks.queue().TakeNext()) {
        if (auto task = m_tasks.Find(*id)) return std::pair{*id, std::move(*task)};
        // Gone after it was queued: drop it and wait for the next one.
        m_tasks.queue().Finish(*id);
    }
    return std::nullopt;
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

}  // namespace brisklo
