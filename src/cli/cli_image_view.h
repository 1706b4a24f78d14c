#pragma once

#include <map>
#include <mutex>
#include <set>
#include <string>

#include "cli/reporter.h"
#include "cli/task_record.h"
#include "image/image_row_view.h"

namespace brisklo::cli {

// The image list of the command line: results go into the run's records and to
// the reporter; the running jobs are kept for the progress line.
class CliImageView : public ImageRowView {
  public:
    CliImageView(std::map<std::int32_t, TaskRecord>& records, Reporter& reporter)
        : m_records(records), m_reporter(reporter) {}

    void ShowWaiting(std::int32_t) override {}
    void ShowRunning(std::int32_t taskId, const ImageRowRunning& row) override;
    void ShowFinished(std::int32_t taskId, const ImageRowFinished& row) override;
    void ShowFailed(std::int32_t taskId, const ImageRowFailed& row) override;

    // "images a.png, b.gif", or empty when none runs.
    std::string ProgressText() const;

  private:
    std::map<std::int32_t, TaskRecord>& m_records;
    Reporter& m_reporter;
    mutable std::mutex m_mutex;  // the running set is changed by the dispatcher thread
    std::set<std::int32_t> m_running;
};

}  // namespace brisklo::cli
