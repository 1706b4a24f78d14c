// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>

#include "cli/reporter.h"
#include "cli/task_record.h"
#include "video/video_view.h"

namespace brisklo::cli {

// One list of the command line (its videos or its images): results go into the
// run's records and to the reporter; the running tasks are kept for the progress
// line.
class CliTaskView : public VideoView {
  public:
    CliTaskView(std::map<std::int32_t, TaskRecord>& records, Reporter& reporter, MediaKind kind)
        : m_records(records), m_reporter(reporter), m_kind(kind) {}

    void ShowRunning(std::int32_t taskId) override;
    void ShowProgress(std::int32_t taskId, std::optional<int> percent, float speed) override;
    void ShowFinished(std::int32_t taskId, const TaskOutcome& outcome) override;
    void ShowFailed(std::int32_t taskId, const TaskFailure& failure) override;
    void ShowState(std::int32_t taskId, TaskState state) override;

    // "video 42% 3.5x a.mp4" or "images a.png, b.gif"; empty when nothing runs.
    std::string ProgressText() const;

  private:
    TaskRecord& Ended(std::int32_t taskId, TaskState state);

    std::map<std::int32_t, TaskRecord>& m_records;
    Reporter& m_reporter;
    const MediaKind m_kind;
    mutable std::mutex m_mutex;  // the running set is changed by the worker thread
    std::set<std::int32_t> m_running;
    std::optional<int> m_percent;  // of the running video
    float m_speed = 0;
};

}  // namespace brisklo::cli
