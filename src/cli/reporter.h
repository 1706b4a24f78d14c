#pragma once

#include <cstdio>
#include <map>
#include <optional>
#include <string>

#include "cli/task_record.h"

namespace brisklo::cli {

// What the user sees on standard error (and, with --json, the one JSON object on
// standard output). The progress line is drawn only on a terminal.
class Reporter {
  public:
    Reporter(bool quiet, bool json, bool terminal);

    void TaskEnded(const TaskRecord& record);
    void Problem(const std::string& text);
    // Redraws the progress line (no-op when not on a terminal).
    void Progress(const std::string& text);
    void Summary(const std::map<std::int32_t, TaskRecord>& records, bool interrupted);
    void Json(const std::map<std::int32_t, TaskRecord>& records);

  private:
    void ClearProgress();

    bool m_quiet;
    bool m_json;
    bool m_terminal;
    bool m_progressShown = false;
};

std::string RecordsToJson(const std::map<std::int32_t, TaskRecord>& records);

}  // namespace brisklo::cli
