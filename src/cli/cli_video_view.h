#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <optional>

#include "cli/reporter.h"
#include "cli/task_record.h"
#include "video/video_view.h"

namespace brisklo::cli {

// The video list of the command line: results go into the run's records and to
// the reporter; the running task's progress is kept for the progress line.
class CliVideoView : public VideoView {
  public:
    CliVideoView(std::map<std::int32_t, TaskRecord>& records, Reporter& reporter,
                 VideoOptionValues options)
        : m_records(records), m_reporter(reporter), m_options(options) {}

    void ShowRunning(std::int32_t taskId) override;
    VideoOptionValues ReadOptions() override { return m_options; }
    void ShowProgress(std::int32_t taskId, std::optional<int> percent, float speed) override;
    void ShowFinished(std::int32_t taskId, const VideoResult& result) override;
    void ShowFailed(std::int32_t taskId, const std::string& reason) override;

    // "video a.mp4 42% 3.5x", or empty when no video runs.
    std::string ProgressText() const;

  private:
    std::map<std::int32_t, TaskRecord>& m_records;
    Reporter& m_reporter;
    const VideoOptionValues m_options;
    mutable std::mutex m_mutex;  // the running task is set by the worker thread
    std::optional<std::int32_t> m_running;
    std::string m_runningName;
    std::optional<int> m_percent;
    float m_speed = 0;
};

}  // namespace brisklo::cli
