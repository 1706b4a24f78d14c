#include "cli/cli_run.h"

#include <chrono>
#include <map>
#include <system_error>

#include "cli/cli_image_view.h"
#include "cli/cli_video_view.h"
#include "cli/message_queue.h"
#include "cli/path_collector.h"
#include "cli/reporter.h"
#include "core/file_utils.h"
#include "core/log.h"
#include "core/pending_output.h"
#include "core/settings_source.h"
#include "core/task_ids.h"
#include "core/video_task_model.h"
#include "image/image_dispatcher.h"
#include "video/encoder_locator.h"
#include "video/video_completion.h"
#include "video/video_worker.h"

namespace brisklo::cli {
namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::atomic<bool> g_interrupted{false};

namespace {

// The command line's choices laid over the settings file, for this run only.
void ApplyOverrides(const CliOptions& o, SettingsOverlay& settings) {
    if (o.outputDir) {
        std::error_code error;
        const fs::path folder = fs::absolute(*o.outputDir, error);
        settings.Override(Setting::OutputDir, (error ? fs::path(*o.outputDir) : folder).string());
    }
    if (o.level) settings.Override(Setting::CompressType, *o.level);
    if (o.format) settings.Override(Setting::VideoType, *o.format);
    if (o.size) {
        settings.Override(Setting::VideoRatioWidth, o.size->width);
        settings.Override(Setting::VideoRatioHeight, o.size->height);
    }
    if (o.channels) settings.Override(Setting::AudioChannel, *o.channels);
    if (o.sampleRate) settings.Override(Setting::AudioSampleRate, *o.sampleRate);
    if (o.audioBitrate) settings.Override(Setting::AudioBitrate, *o.audioBitrate);
    if (o.imageLevel) settings.Override(Setting::ImageCompressType, *o.imageLevel);
    if (o.jpeg) settings.Override(Setting::ImageType, 1);
    if (o.scale) settings.Override(Setting::ImageRatioIndex, *o.scale);
    if (o.imageSize) settings.Override(Setting::ImageDefineParam, 1);
    if (o.allowLarger) settings.Override(Setting::KeepOriginalIfLarger, 0);
    if (o.gifDrop) {
        settings.Override(Setting::GifDefineParam, 1);
        settings.Override(Setting::GifDropFrameIndex, *o.gifDrop);
    }
}

bool AllDone(const std::map<std::int32_t, TaskRecord>& records) {
    for (const auto& [id, record] : records) {
        if (!record.done) return false;
    }
    return true;
}

}  // namespace

int RunBatch(const CliOptions& options, const SettingsSource& base, bool stderrIsTerminal) {
    SetLogTarget(options.verbose ? LogTarget::StandardError : LogTarget::Silent);
    Reporter reporter(options.quiet, options.json, stderrIsTerminal);

    const Collection collection = CollectPaths(options.paths, options.recursive);
    for (const std::string& problem : collection.problems) reporter.Problem(problem);

    SettingsOverlay settings(base);
    ApplyOverrides(options, settings);
    // Hidden outputs that a run ended by a crash or a kill left behind.
    if (const int removed = RemoveLeftoverOutputs(settings.OutputFolderPath()); removed > 0) {
        LogLine("removed %d unfinished output(s) of an earlier run\n", removed);
    }

    TaskIdCounter ids;
    VideoTaskModel videoModel(ids);
    MessageQueue queue;
    std::map<std::int32_t, TaskRecord> records;
    CliImageView imageView(records, reporter);
    ImageDispatcher images(ids, queue, imageView, [&]() -> Result<ImageJobSettings> {
        return ImageJobSettingsFrom(settings, options.imageSize ? options.imageSize->width : 0,
                                    options.imageSize ? options.imageSize->height : 0);
    });
    std::vector<std::int32_t> videoIds;
    std::vector<std::int32_t> imageIds;
    for (const CollectedFile& file : collection.files) {
        std::error_code error;
        const auto size = static_cast<std::int64_t>(fs::file_size(file.path, error));
        const fs::path absolute = fs::absolute(file.path, error);
        const std::string name = file.path.filename().string();
        const std::int32_t id = file.kind == MediaKind::Image
                                    ? images.AddTask({name, "", absolute, size})
                                    : videoModel.Add({name, "", absolute.string(), size});
        (file.kind == MediaKind::Image ? imageIds : videoIds).push_back(id);
        TaskRecord& record = records[id];
        record.source = file.path.string();
        record.kind = file.kind;
        record.sourceSize = size;
    }

    VideoOptionValues videoOptions;
    videoOptions.customQuality = options.crf.has_value();
    videoOptions.qualitySlider = options.crf.value_or(0);
    videoOptions.balanced = options.balanced;
    CliVideoView videoView(records, reporter, videoOptions);
    VideoCompletion videoCompletion(videoModel, videoView);
    VideoWorker videoWorker(videoModel, settings, videoView, queue, FindEncoder());
    videoWorker.Start();
    videoModel.EnqueueAll(videoIds);
    if (!imageIds.empty()) {
        if (!images.Start()) {
            reporter.Problem("cannot start the image jobs");
            return 1;
        }
        CustomSizeFields size;
        if (options.imageSize) {
            size.enabled = true;
            size.width = std::to_string(options.imageSize->width);
            size.height = std::to_string(options.imageSize->height);
        }
        const QueueOutcome outcome = images.QueueAll(imageIds, size);
        if (outcome.status == QueueStatus::Refused) {
            for (std::int32_t id : imageIds) {
                TaskRecord& record = records[id];
                record.done = true;
                record.error = outcome.notice;
                reporter.TaskEnded(record);
            }
        }
    }

    bool interrupted = false;
    while (!AllDone(records)) {
        if (g_interrupted) {
            interrupted = true;
            break;
        }
        if (auto message = queue.Take(100ms)) {
            if (!videoCompletion.Dispatch(message->first, message->second)) {
                images.HandleMessage(message->first, message->second);
            }
        }
        std::string progress = videoView.ProgressText();
        if (const std::string running = imageView.ProgressText(); !running.empty()) {
            progress += (progress.empty() ? "" : " | ") + running;
        }
        reporter.Progress(progress);
    }
    // Stops a running encode and the image jobs; both remove unfinished outputs.
    videoWorker.Stop();
    images.Stop();

    if (interrupted) {
        for (auto& [id, record] : records) {
            if (record.done) continue;
            record.done = true;
            record.error = "interrupted";
        }
    }
    reporter.Summary(records, interrupted);
    reporter.Json(records);
    if (interrupted) return 130;
    bool anyFailed = !collection.problems.empty();
    for (const auto& [id, record] : records) anyFailed = anyFailed || !record.ok;
    return anyFailed ? 1 : 0;
}

}  // namespace brisklo::cli
