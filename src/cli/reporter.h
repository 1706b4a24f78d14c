// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <map>
#include <optional>
#include <string>

#include "batch/batch_totals.h"
#include "cli/task_record.h"

namespace brisklo::cli {

// What the user sees. Result lines and the summary go to standard output, progress
// and diagnostics to standard error; with --json standard output holds the one JSON
// object and nothing else, and the result lines and summary go to standard error.
// The progress line is drawn only on a terminal, cut to its width; quiet leaves it
// out.
class Reporter {
  public:
    // columns: the terminal's width.
    Reporter(bool quiet, bool json, bool terminal, int columns = 80);

    // One result line: a task that ended, or a path refused before it became one.
    void TaskEnded(const TaskRecord& record);
    // A diagnostic line.
    void Problem(const std::string& text);
    // Redraws the progress line (no-op when not on a terminal).
    void Progress(const std::string& text);
    // refused: paths that never became tasks; they count as failed.
    void Summary(const BatchTotals& totals, bool interrupted, int refused = 0);
    void Json(const std::map<std::int32_t, TaskRecord>& records, const BatchTotals& totals);

  private:
    void ClearProgress();

    bool m_json;
    std::FILE* m_results;  // where result lines and the summary go
    bool m_terminal;
    int m_columns;
    bool m_progressShown = false;
};

// "[3/10] saved 1.20M 2:05 left | video 42% a.mp4 | images b.png": the batch's
// place, what was saved so far, the time left when known, and what runs.
std::string ProgressLine(const BatchTotals& totals, const std::string& running);

// "1:05", "1:02:03".
std::string FormatTimeLeft(std::chrono::seconds left);

// The text cut to at most `columns` terminal cells (East Asian wide characters
// take two), never inside a UTF-8 sequence; "…" marks a cut.
std::string FitToColumns(const std::string& text, int columns);

std::string RecordsToJson(const std::map<std::int32_t, TaskRecord>& records,
                          const BatchTotals& totals);

}  // namespace brisklo::cli
