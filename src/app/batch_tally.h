#pragma once

#include <QString>
#include <cstdint>

#include "core/task_outcome.h"

namespace brisklo::app {

// How the tasks that ended since the lists were last idle went.
struct BatchSummary {
    int succeeded = 0;
    int failed = 0;
    std::int64_t sourceBytes = 0;  // of the tasks that succeeded
    std::int64_t outputBytes = 0;
};

// Counts the ends of tasks (UI thread) until the batch is over.
class BatchTally {
  public:
    void Succeeded(const TaskOutcome& outcome);
    void Failed() { ++m_summary.failed; }
    bool Empty() const { return m_summary.succeeded == 0 && m_summary.failed == 0; }
    // The batch so far; the tally starts again from nothing.
    BatchSummary Take();

  private:
    BatchSummary m_summary;
};

// "3 个成功, 1 个失败, 共节省 12.5MB (45.20%)" in the user's language.
QString BatchSummaryText(const BatchSummary& summary);
QString BatchEndedTitle();

}  // namespace brisklo::app
