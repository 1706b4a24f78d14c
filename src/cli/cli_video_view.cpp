#include "cli/cli_video_view.h"

#include <filesystem>

#include "core/text_utils.h"

namespace brisklo::cli {

void CliVideoView::ShowRunning(std::int32_t taskId) {
    std::lock_guard lock(m_mutex);
    m_running = taskId;
    // The records map is only read here; the main thread changes a record's
    // fields, never the map itself, while the worker runs.
    m_runningName = std::filesystem::path(m_records.at(taskId).source).filename().string();
    m_percent.reset();
    m_speed = 0;
}

void CliVideoView::ShowProgress(std::int32_t taskId, std::optional<int> percent, float speed) {
    std::lock_guard lock(m_mutex);
    if (m_running != taskId) return;
    m_percent = percent;
    m_speed = speed;
}

void CliVideoView::ShowFinished(std::int32_t taskId, const VideoResult& result) {
    {
        std::lock_guard lock(m_mutex);
        if (m_running == taskId) m_running.reset();
    }
    TaskRecord& record = m_records.at(taskId);
    record.done = true;
    record.ok = true;
    record.output = result.outputPath;
    record.outputSize = result.outputSize;
    record.saving = result.saving;
    record.keptOriginal = result.keptOriginal;
    record.sizeText = result.sizeText;
    record.savingText = result.savingText;
    m_reporter.TaskEnded(record);
}

void CliVideoView::ShowFailed(std::int32_t taskId, const std::string& reason) {
    {
        std::lock_guard lock(m_mutex);
        if (m_running == taskId) m_running.reset();
    }
    TaskRecord& record = m_records.at(taskId);
    record.done = true;
    record.ok = false;
    record.error = reason;
    m_reporter.TaskEnded(record);
}

std::string CliVideoView::ProgressText() const {
    std::lock_guard lock(m_mutex);
    if (!m_running) return {};
    std::string text = "video " + m_runningName;
    if (m_percent) text += " " + std::to_string(*m_percent) + "%";
    if (m_speed > 0) text += FormatText(" %.1fx", static_cast<double>(m_speed));
    return text;
}

}  // namespace brisklo::cli
