#include "cli/cli_image_view.h"

#include <filesystem>

#include "core/saving.h"

namespace brisklo::cli {

void CliImageView::ShowRunning(std::int32_t taskId, const ImageRowRunning&) {
    std::lock_guard lock(m_mutex);
    m_running.insert(taskId);
}

void CliImageView::ShowFinished(std::int32_t taskId, const ImageRowFinished& row) {
    {
        std::lock_guard lock(m_mutex);
        m_running.erase(taskId);
    }
    TaskRecord& record = m_records.at(taskId);
    record.done = true;
    record.ok = true;
    record.output = row.outputPath.string();
    record.outputSize = row.outputSize;
    record.keptOriginal = row.keptOriginal;
    record.sizeText = row.sizeText;
    record.savingText = row.savingText.value_or("");
    record.saving = ComputeSaving(record.sourceSize, row.outputSize);
    m_reporter.TaskEnded(record);
}

void CliImageView::ShowFailed(std::int32_t taskId, const ImageRowFailed& row) {
    {
        std::lock_guard lock(m_mutex);
        m_running.erase(taskId);
    }
    TaskRecord& record = m_records.at(taskId);
    record.done = true;
    record.ok = false;
    record.error = row.reason;
    m_reporter.TaskEnded(record);
}

std::string CliImageView::ProgressText() const {
    std::lock_guard lock(m_mutex);
    std::string text;
    for (std::int32_t id : m_running) {
        // The records map is never reshaped while jobs run; names are read only.
        text += (text.empty() ? "images " : ", ") +
                std::filesystem::path(m_records.at(id).source).filename().string();
    }
    return text;
}

}  // namespace brisklo::cli
