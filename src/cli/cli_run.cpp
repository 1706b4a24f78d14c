#include "cli/cli_run.h"

#include <chrono>
#include <map>
#include <system_error>

#include "cli/cli_task_view.h"
#include "cli/message_queue.h"
#include "cli/path_collector.h"
#include "cli/reporter.h"
#include "core/file_utils.h"
#include "core/log.h"
#include "core/media_options.h"
#include "core/pending_output.h"
#include "core/settings_source.h"
#include "core/task_ids.h"
#include "core/video_task_model.h"
#include "image/image_completion.h"
#include "image/image_dispatcher.h"
#include "image/magick_runtime.h"
#include "video/encoder_locator.h"
#include "video/video_completion.h"
#include "video/video_worker.h"

namespace brisklo::cli {
namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::atomic<bool> g_interrupted{false};

namespace {

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

    // The output folder and the stall time are settings the command line lays over
    // the file for this run.
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
    // Hidden outputs that a run ended by a crash or a kill left behind.
    if (const int removed = RemoveLeftoverOutputs(settings.OutputFolderPath()); removed > 0) {
        LogLine("removed %d unfinished output(s) of an earlier run\n", removed);
    }
    FixedOptions chosen(VideoOptionsFor(options, VideoOptionsFromSettings(base)),
                        ImageOptionsFor(options, ImageOptionsFromSettings(base, 0, 0)));

    TaskIdCounter ids;
    VideoTaskModel videoModel(ids);
    ImageTaskList imageTasks(ids);
    MessageQueue queue;
    std::map<std::int32_t, TaskRecord> records;
    CliTaskView imageView(records, reporter, MediaKind::Image);
    ImageDispatcher images(imageTasks, chosen, settings, imageView, queue);
    ImageCompletion imageCompletion(imageTasks, images, imageView);
    std::vector<std::int32_t> videoIds;
    std::vector<std::int32_t> imageIds;
    for (const CollectedFile& file : collection.files) {
        std::error_code error;
        const auto size = static_cast<std::int64_t>(fs::file_size(file.path, error));
        const fs::path absolute = fs::absolute(file.path, error);
        const std::string name = file.path.filename().string();
        const std::int32_t id = file.kind == MediaKind::Image
                                    ? imageTasks.Add({name, "", absolute, size})
                                    : videoModel.Add({name, "", absolute.string(), size});
        (file.kind == MediaKind::Image ? imageIds : videoIds).push_back(id);
        TaskRecord& record = records[id];
        record.source = file.path.string();
        record.kind = file.kind;
        record.sourceSize = size;
    }

    CliTaskView videoView(records, reporter, MediaKind::Video);
    VideoCompletion videoCompletion(videoModel, videoView);
    VideoWorker videoWorker(videoModel, chosen, settings, videoView, queue, FindEncoder());
    videoWorker.Start();
    videoModel.EnqueueAll(videoIds);
    if (!imageIds.empty()) {
        // Coders load before the first jobs start together (their first use is not
        // thread-safe).
        InitializeImageLibrary();
        if (!images.Start()) {
            reporter.Problem("cannot start the image jobs");
            return 1;
        }
        imageTasks.EnqueueAll(imageIds);
    }

    bool interrupted = false;
    while (!AllDone(records)) {
        if (g_interrupted) {
            interrupted = true;
            break;
        }
        if (auto message = queue.Take(100ms)) {
            if (!videoCompletion.Dispatch(message->first, message->second)) {
                imageCompletion.Dispatch(message->first, message->second);
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
