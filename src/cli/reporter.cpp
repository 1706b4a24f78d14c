// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/reporter.h"

#include <json/json.h>

#include <cmath>

#include "core/file_utils.h"
#include "core/text_utils.h"

namespace brisklo::cli {

Reporter::Reporter(bool quiet, bool json, bool terminal, int columns)
    : m_json(json),
      m_results(json ? stderr : stdout),
      m_terminal(terminal && !quiet),
      m_columns(columns) {}

void Reporter::ClearProgress() {
    if (!m_progressShown) return;
    std::fputs("\r\x1b[2K", stderr);
    m_progressShown = false;
}

void Reporter::Progress(const std::string& text) {
    if (!m_terminal) return;
    // One cell short of the width: a line that fills it would wrap on some terminals,
    // and every redraw would leave a stale line behind.
    std::fprintf(stderr, "\r\x1b[2K%s", FitToColumns(text, m_columns - 1).c_str());
    std::fflush(stderr);
    m_progressShown = !text.empty();
}

void Reporter::Problem(const std::string& text) {
    ClearProgress();
    std::fprintf(stderr, "brisklo-cli: %s\n", text.c_str());
}

void Reporter::TaskEnded(const TaskRecord& r) {
    // A cancelled task never ran; the summary counts them.
    if (r.state == TaskState::Cancelled) return;
    ClearProgress();
    // Fixed-width columns first, paths last, so the lines read as a table.
    const char* kind = r.kind == MediaKind::Image   ? "image"
                       : r.kind == MediaKind::Video ? "video"
                                                    : "-";
    const std::string before = r.kind == MediaKind::Unknown ? "" : FormatFileSize(r.sourceSize);
    if (r.state == TaskState::Stopped) {
        std::fprintf(m_results, "stopped %-5s  %8s                      %s\n", kind, before.c_str(),
                     r.source.c_str());
    } else if (!r.ok()) {
        // A refused path's message already names it.
        std::fprintf(m_results, "failed  %-5s  %8s                      %s%s%s\n", kind,
                     before.c_str(), r.kind == MediaKind::Unknown ? "" : r.source.c_str(),
                     r.kind == MediaKind::Unknown ? "" : ": ", r.error.c_str());
    } else {
        const char* word = r.keptOriginal() ? "kept" : r.grew ? "grew" : "done";
        std::fprintf(m_results, "%-6s  %-5s  %8s -> %8s  %8s  %s -> %s%s%s%s%s\n", word, kind,
                     before.c_str(), r.sizeText.c_str(), r.saving ? r.savingText.c_str() : "-",
                     r.source.c_str(), r.output.c_str(),
                     r.keptOriginal() ? " (not smaller when compressed: original kept)" : "",
                     r.warning.empty() ? "" : " (warning: ", r.warning.c_str(),
                     r.warning.empty() ? "" : ")");
    }
    std::fflush(m_results);
}

void Reporter::Summary(const BatchTotals& totals, bool interrupted, int refused) {
    ClearProgress();
    const int total = totals.total + refused;
    std::string line =
        FormatText("%s%d %s: %d succeeded, %d failed", interrupted ? "interrupted: " : "", total,
                   total == 1 ? "task" : "tasks", totals.succeeded, totals.failed + refused);
    if (totals.stopped > 0) line += FormatText(", %d stopped", totals.stopped);
    if (totals.cancelled > 0) line += FormatText(", %d cancelled", totals.cancelled);
    line += "; " + FormatFileSize(totals.bytesIn) + " -> " + FormatFileSize(totals.bytesOut);
    if (const auto percent = totals.savedPercent()) line += FormatText(" (saved %.2f%%)", *percent);
    std::fprintf(m_results, "%s\n", line.c_str());
    std::fflush(m_results);
}

void Reporter::Json(const std::map<std::int32_t, TaskRecord>& records, const BatchTotals& totals) {
    if (!m_json) return;
    std::fputs(RecordsToJson(records, totals).c_str(), stdout);
    std::fflush(stdout);
}

std::string FormatTimeLeft(std::chrono::seconds left) {
    const auto total = left.count();
    if (total >= 3600) {
        return FormatText("%lld:%02lld:%02lld", static_cast<long long>(total / 3600),
                          static_cast<long long>(total / 60 % 60),
                          static_cast<long long>(total % 60));
    }
    return FormatText("%lld:%02lld", static_cast<long long>(total / 60),
                      static_cast<long long>(total % 60));
}

std::string ProgressLine(const BatchTotals& totals, const std::string& running) {
    // The batch's figures first: a cut to the terminal's width takes the names.
    std::string line = FormatText("[%d/%d]", totals.finished, totals.total);
    if (totals.bytesIn > 0) {
        const std::int64_t saved = totals.saved();
        line += " saved " + std::string(saved < 0 ? "-" : "") +
                FormatFileSize(saved < 0 ? -saved : saved);
    }
    if (totals.timeLeft) line += " " + FormatTimeLeft(*totals.timeLeft) + " left";
    if (!running.empty()) line += " | " + running;
    return line;
}

namespace {

// The cells a code point takes on a terminal: two for the East Asian wide ranges.
int CellsOf(char32_t c) {
    const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
                      (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
                      (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                      (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1FAFF) ||
                      (c >= 0x20000 && c <= 0x3FFFD);
    return wide ? 2 : 1;
}

// The length of the UTF-8 sequence that starts with byte b (1 for a stray byte).
std::size_t SequenceLength(unsigned char b) {
    if (b >= 0xF0 && b < 0xF8) return 4;
    if (b >= 0xE0) return b < 0xF0 ? 3 : 1;
    if (b >= 0xC0) return 2;
    return 1;
}

}  // namespace

std::string FitToColumns(const std::string& text, int columns) {
    if (columns <= 0) return {};
    struct Char {
        std::size_t at;
        std::size_t length;
        int cells;
    };
    std::vector<Char> chars;
    int cells = 0;
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        std::size_t length = std::min(SequenceLength(lead), text.size() - at);
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t i = 1; i < length; ++i) {
            c = (c << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3F);
        }
        chars.push_back({at, length, CellsOf(c)});
        cells += chars.back().cells;
        at += length;
    }
    if (cells <= columns) return text;
    // Room for the mark "…" (one cell).
    int used = 0;
    std::size_t end = 0;
    for (const Char& c : chars) {
        if (used + c.cells > columns - 1) break;
        used += c.cells;
        end = c.at + c.length;
    }
    return text.substr(0, end) + "\u2026";
}

std::string RecordsToJson(const std::map<std::int32_t, TaskRecord>& records,
                          const BatchTotals& totals) {
    Json::Value root(Json::objectValue);
    Json::Value results(Json::arrayValue);
    std::map<TaskState, int> counts;
    for (const auto& [id, r] : records) {
        ++counts[r.ok() ? TaskState::Done : r.state];
        Json::Value item(Json::objectValue);
        item["source"] = r.source;
        item["kind"] = r.kind == MediaKind::Image   ? Json::Value("image")
                       : r.kind == MediaKind::Video ? Json::Value("video")
                                                    : Json::Value();
        item["state"] = std::string(StateName(r.state));
        item["ok"] = r.ok();
        item["output"] = r.ok() ? Json::Value(r.output) : Json::Value();
        item["sourceSize"] =
            r.kind == MediaKind::Unknown ? Json::Value() : Json::Value(Json::Int64(r.sourceSize));
        item["outputSize"] = r.ok() ? Json::Value(Json::Int64(r.outputSize)) : Json::Value();
        // Two decimals, as the row shows it.
        item["saving"] =
            r.ok() && r.saving
                ? Json::Value(std::round(static_cast<double>(*r.saving) * 100.0) / 100.0)
                : Json::Value();
        item["error"] = r.ok() ? Json::Value() : Json::Value(r.error);
        item["warning"] = r.ok() && !r.warning.empty() ? Json::Value(r.warning) : Json::Value();
        item["keptOriginal"] = r.keptOriginal();
        item["grew"] = r.ok() && r.grew;
        results.append(item);
    }
    root["results"] = results;
    root["succeeded"] = counts[TaskState::Done];
    root["failed"] = counts[TaskState::Failed];
    root["stopped"] = counts[TaskState::Stopped];
    root["cancelled"] = counts[TaskState::Cancelled];
    Json::Value batch(Json::objectValue);
    batch["tasks"] = totals.total;
    batch["finished"] = totals.finished;
    batch["bytesIn"] = Json::Int64(totals.bytesIn);
    batch["bytesOut"] = Json::Int64(totals.bytesOut);
    batch["saved"] = Json::Int64(totals.saved());
    const auto percent = totals.savedPercent();
    batch["savedPercent"] =
        percent ? Json::Value(std::round(*percent * 100.0) / 100.0) : Json::Value();
    root["totals"] = batch;
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "  ";
    // The saving is a percentage with two decimals, as the rows show it.
    builder["precision"] = 2;
    builder["precisionType"] = "decimal";
    return Json::writeString(builder, root) + "\n";
}

}  // namespace brisklo::cli
