// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_run.h"

#include <chrono>
#include <limits>
#include <map>
#include <system_error>

#include "batch/batch_session.h"
#include "batch/message_queue.h"
#include "cli/cli_task_view.h"
#include "cli/path_collector.h"
#include "cli/reporter.h"
#include "core/media_options.h"
#include "core/settings_source.h"
#include "video/encoder_locator.h"

namespace brisklo::cli {
namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::atomic<bool> g_interrupted{false};

namespace {

// How long an interrupted run waits for its stopped tasks to report before it
// gives up on them (the encoder is killed and image jobs stop at their next row,
// so this is only ever reached by something stuck).
constexpr auto kStopGrace = 30s;

// The options of this run, fixed for every task.
class FixedOptions : public VideoOptionsProvider, public ImageOptionsProvider {
  public:
    FixedOptions(VideoOptions video, ImageOptions image) : m_video(video), m_image(image) {}
    VideoOptions CurrentVideoOptions() override { return m_video; }
    ImageOptions CurrentImageOptions() override { return m_image; }

  private:
    const VideoOptions m_video;
    const ImageOptions m_image;
};

// The settings file with what the command line lays over it for this run: the
// output folder, the stall time and keep-the-original.
SettingsOverlay RunSettings(const CliOptions& options, const SettingsSource& base) {
    SettingsOverlay settings(base);
    if (options.outputDir) {
        std::error_code error;
        const fs::path folder = fs::absolute(*options.outputDir, error);
        settings.Override(Setting::OutputDir,
                          (error ? fs::path(*options.outputDir) : folder).string());
    }
    if (options.stallTimeout)
        settings.Override(Setting::EncoderStallSeconds, *options.stallTimeout);
    if (options.allowLarger) settings.Override(Setting::KeepOriginalIfLarger, 0);
    if (options.minSaving) settings.Override(Setting::MinSavingPercent, *options.minSaving);
    return settings;
}

}  // namespace

int RunBatch(const CliOptions& options, const SettingsSource& base, Terminal terminal) {
    Reporter reporter(options.quiet, options.json, terminal.isTerminal, terminal.columns);

    const Collection collection = CollectPaths(options.paths, options.recursive);
    // Paths refused before they became tasks are results too (with --json, in
    // "results"), numbered below every task so they come first, in order.
    std::map<std::int32_t, TaskRecord> records;
    std::int32_t refusedId = std::numeric_limits<std::int32_t>::min();
    const auto refuse = [&](const std::string& source, MediaKind kind, const std::string& why) {
        TaskRecord& record = records[refusedId++];
        record.source = source;
        record.kind = kind;
        record.state = TaskState::Failed;
        record.error = why;
        reporter.TaskEnded(record);
    };
    for (const RefusedPath& refused : collection.refused) {
        refuse(refused.path, MediaKind::Unknown, refused.message);
    }

    const SettingsOverlay settings = RunSettings(options, base);
    FixedOptions chosen(VideoOptionsFor(options, VideoOptionsFromSettings(base)),
                        ImageOptionsFor(options, ImageOptionsFromSettings(base, 0, 0)));
    MessageQueue queue;
    CliTaskView videoView(records, reporter, MediaKind::Video);
    CliTaskView imageView(records, reporter, MediaKind::Image);
    BatchSession session({chosen, chosen, settings, queue, videoView, imageView, FindEncoder()});

    std::vector<std::int32_t> ids;
    for (const CollectedFile& file : collection.files) {
        const auto id = session.Add(file.kind, file.path, file.outputSubfolder);
        if (!id) {
            refuse(file.path.string(), file.kind, id.error().message);
            continue;
        }
        TaskRecord& record = records[id.value()];
        record.source = file.path.string();
        record.kind = file.kind;
        std::error_code error;
        record.sourceSize = static_cast<std::int64_t>(fs::file_size(file.path, error));
        ids.push_back(id.value());
    }
    const int refusedCount = static_cast<int>(refusedId - std::numeric_limits<std::int32_t>::min());
    if (!session.Start()) {
        reporter.Problem("cannot start the image jobs");
        for (const std::int32_t id : ids) {
            records[id].state = TaskState::Failed;
            records[id].error = "cannot start the image jobs";
        }
        reporter.Json(records, session.Totals());
        return 1;
    }
    session.EnqueueAll(ids);

    // Ctrl-C stops the batch: the running tasks are stopped (their unfinished
    // outputs removed), the waiting ones cancelled, and what ended meanwhile is
    // reported as it ended.
    bool interrupted = false;
    auto giveUpAt = std::chrono::steady_clock::time_point::max();
    while (!session.Idle() && std::chrono::steady_clock::now() < giveUpAt) {
        if (g_interrupted && !interrupted) {
            interrupted = true;
            giveUpAt = std::chrono::steady_clock::now() + kStopGrace;
            session.StopAll();
        }
        if (auto message = queue.Take(100ms)) session.Dispatch(message->first, message->second);
        std::string running = videoView.ProgressText();
        if (const std::string images = imageView.ProgressText(); !images.empty()) {
            running += (running.empty() ? "" : " | ") + images;
        }
        reporter.Progress(ProgressLine(session.Totals(), running));
    }
    session.Shutdown();
    for (auto& [id, record] : records) {
        if (HasEnded(record.state)) continue;
        record.state = TaskState::Stopped;
        record.error = "interrupted";
    }

    const BatchTotals totals = session.Totals();
    reporter.Summary(totals, interrupted, refusedCount);
    reporter.Json(records, totals);
    if (interrupted) return 130;
    bool anyFailed = false;
    for (const auto& [id, record] : records) anyFailed = anyFailed || !record.ok();
    return anyFailed ? 1 : 0;
}

}  // namespace brisklo::cli
