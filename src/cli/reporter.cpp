#include "cli/reporter.h"

#include <json/json.h>

#include <cmath>

#include "core/file_utils.h"

namespace brisklo::cli {

Reporter::Reporter(bool quiet, bool json, bool terminal)
    : m_quiet(quiet), m_json(json), m_terminal(terminal && !quiet) {}

void Reporter::ClearProgress() {
    if (!m_progressShown) return;
    std::fputs("\r\x1b[2K", stderr);
    m_progressShown = false;
}

void Reporter::Progress(const std::string& text) {
    if (!m_terminal) return;
    std::fprintf(stderr, "\r\x1b[2K%s", text.c_str());
    std::fflush(stderr);
    m_progressShown = !text.empty();
}

void Reporter::Problem(const std::string& text) {
    ClearProgress();
    std::fprintf(stderr, "brisklo-cli: %s\n", text.c_str());
}

void Reporter::TaskEnded(const TaskRecord& r) {
    ClearProgress();
    // Fixed-width columns first, paths last, so the lines read as a table.
    const char* kind = r.kind == MediaKind::Image ? "image" : "video";
    const std::string before = FormatFileSize(r.sourceSize);
    if (!r.ok) {
        std::fprintf(stderr, "failed  %-5s  %8s                      %s: %s\n", kind,
                     before.c_str(), r.source.c_str(), r.error.c_str());
    } else if (!m_quiet) {
        std::fprintf(stderr, "%-6s  %-5s  %8s -> %8s  %8s  %s -> %s%s%s%s%s\n",
                     r.keptOriginal ? "kept" : "done", kind, before.c_str(), r.sizeText.c_str(),
                     r.saving ? r.savingText.c_str() : "-", r.source.c_str(), r.output.c_str(),
                     r.keptOriginal ? " (not smaller when compressed: original kept)" : "",
                     r.warning.empty() ? "" : " (warning: ", r.warning.c_str(),
                     r.warning.empty() ? "" : ")");
    }
    std::fflush(stderr);
}

void Reporter::Summary(const std::map<std::int32_t, TaskRecord>& records, bool interrupted) {
    ClearProgress();
    if (m_quiet) return;
    int succeeded = 0;
    int failed = 0;
    std::int64_t before = 0;
    std::int64_t after = 0;
    for (const auto& [id, r] : records) {
        if (r.ok) {
            ++succeeded;
            before += r.sourceSize;
            after += r.outputSize;
        } else {
            ++failed;
        }
    }
    std::fprintf(stderr, "%s%zu tasks: %d succeeded, %d failed; %s -> %s",
                 interrupted ? "interrupted: " : "", records.size(), succeeded, failed,
                 FormatFileSize(before).c_str(), FormatFileSize(after).c_str());
    if (before > 0) {
        std::fprintf(stderr, " (saved %.2f%%)",
                     static_cast<double>(before - after) / static_cast<double>(before) * 100.0);
    }
    std::fputc('\n', stderr);
}

void Reporter::Json(const std::map<std::int32_t, TaskRecord>& records) {
    if (!m_json) return;
    std::fputs(RecordsToJson(records).c_str(), stdout);
    std::fflush(stdout);
}

std::string RecordsToJson(const std::map<std::int32_t, TaskRecord>& records) {
    Json::Value root(Json::objectValue);
    Json::Value results(Json::arrayValue);
    int succeeded = 0;
    int failed = 0;
    for (const auto& [id, r] : records) {
        Json::Value item(Json::objectValue);
        item["source"] = r.source;
        item["kind"] = r.kind == MediaKind::Image ? "image" : "video";
        item["ok"] = r.ok;
        item["output"] = r.ok ? Json::Value(r.output) : Json::Value();
        item["sourceSize"] = Json::Int64(r.sourceSize);
        item["outputSize"] = r.ok ? Json::Value(Json::Int64(r.outputSize)) : Json::Value();
        // Two decimals, as the row shows it.
        item["saving"] =
            r.ok && r.saving
                ? Json::Value(std::round(static_cast<double>(*r.saving) * 100.0) / 100.0)
                : Json::Value();
        item["error"] = r.ok ? Json::Value() : Json::Value(r.error);
        item["warning"] = r.ok && !r.warning.empty() ? Json::Value(r.warning) : Json::Value();
        item["keptOriginal"] = r.ok && r.keptOriginal;
        results.append(item);
        (r.ok ? succeeded : failed)++;
    }
    root["results"] = results;
    root["succeeded"] = succeeded;
    root["failed"] = failed;
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "  ";
    // The saving is a percentage with two decimals, as the rows show it.
    builder["precision"] = 2;
    builder["precisionType"] = "decimal";
    return Json::writeString(builder, root) + "\n";
}

}  // namespace brisklo::cli
