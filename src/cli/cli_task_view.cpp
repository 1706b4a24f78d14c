// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_task_view.h"

#include <filesystem>

#include "core/file_utils.h"
#include "core/saving.h"
#include "core/text_utils.h"

namespace brisklo::cli {

void CliTaskView::ShowRunning(std::int32_t taskId) {
    std::lock_guard lock(m_mutex);
    m_running.insert(taskId);
    m_percent.reset();
    m_speed = 0;
}

void CliTaskView::ShowProgress(std::int32_t taskId, std::optional<int> percent, float speed) {
    std::lock_guard lock(m_mutex);
    if (!m_running.contains(taskId)) return;
    m_percent = percent;
    m_speed = speed;
}

TaskRecord& CliTaskView::Ended(std::int32_t taskId, TaskState state) {
    {
        std::lock_guard lock(m_mutex);
        m_running.erase(taskId);
    }
    TaskRecord& record = m_records.at(taskId);
    record.state = state;
    return record;
}

void CliTaskView::ShowFinished(std::int32_t taskId, const TaskOutcome& outcome) {
    TaskRecord& record =
        Ended(taskId, outcome.keptOriginal ? TaskState::KeptOriginal : TaskState::Done);
    record.output = outcome.outputPath.string();
    record.outputSize = outcome.outputSize;
    record.saving = outcome.saving;
    record.sizeText = FormatFileSize(outcome.outputSize);
    record.savingText = outcome.saving ? SavingText(*outcome.saving) : "";
    record.warning = outcome.warning;
    record.grew = outcome.grew && !outcome.keptOriginal;
    m_reporter.TaskEnded(record);
}

void CliTaskView::ShowFailed(std::int32_t taskId, const TaskFailure& failure) {
    TaskRecord& record = Ended(taskId, TaskState::Failed);
    record.error = failure.reason;
    m_reporter.TaskEnded(record);
}

void CliTaskView::ShowState(std::int32_t taskId, TaskState state) {
    if (state == TaskState::Waiting) {
        m_records.at(taskId).state = state;
        return;
    }
    // The command line stops and cancels only when it is interrupted.
    TaskRecord& record = Ended(taskId, state);
    record.error = "interrupted";
    m_reporter.TaskEnded(record);
}

std::string CliTaskView::ProgressText() const {
    std::lock_guard lock(m_mutex);
    std::string text;
    // The records map is never reshaped while workers run; names are read only.
    for (const std::int32_t id : m_running) {
        const std::string name = std::filesystem::path(m_records.at(id).source).filename().string();
        if (m_kind == MediaKind::Video) {
            // The figures before the name, which a narrow terminal cuts first.
            text = "video";
            if (m_percent) text += " " + std::to_string(*m_percent) + "%";
            if (m_speed > 0) text += FormatText(" %.1fx", static_cast<double>(m_speed));
            text += " " + name;
        } else {
            text += (text.empty() ? "images " : ", ") + name;
        }
    }
    return text;
}

}  // namespace brisklo::cli
