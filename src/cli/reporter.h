// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <map>
#include <optional>
#include <string>

#include "batch/batch_totals.h"
#include "cli/task_record.h"

namespace brisklo::cli {

// What the user sees on standard error (and, with --json, the one JSON object on
// standard output). The progress line is drawn only on a terminal, cut to its
// width.
class Reporter {
  public:
    // columns: the terminal's width.
    Reporter(bool quiet, bool json, bool terminal, int columns = 80);

    void TaskEnded(const TaskRecord& record);
    void Problem(const std::string& text);
    // Redraws the progress line (no-op when not on a terminal).
    void Progress(const std::string& text);
    void Summary(const BatchTotals& totals, bool interrupted);
    void Json(const std::map<std::int32_t, TaskRecord>& records, const BatchTotals& totals);

  private:
    void ClearProgress();

    bool m_quiet;
    bool m_json;
    bool m_terminal;
    int m_columns;
    bool m_progressShown = false;
};

// "[3/10] video a.mp4 42% | images b.png | saved 1.20M | 2:05 left": the batch's
// place, what runs, what was saved so far and the time left when known.
std::string ProgressLine(const BatchTotals& totals, const std::string& running);

// "1:05", "1:02:03".
std::string FormatTimeLeft(std::chrono::seconds left);

// The text cut to at most `columns` terminal cells (East Asian wide characters
// take two), never inside a UTF-8 sequence; "…" marks a cut.
std::string FitToColumns(const std::string& text, int columns);

std::string RecordsToJson(const std::map<std::int32_t, TaskRecord>& records,
                          const BatchTotals& totals);

}  // namespace brisklo::cli
