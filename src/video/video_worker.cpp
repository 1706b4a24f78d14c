// SPDX-License-Identifier: GPL-3.0-or-later
#include "video/video_worker.h"

#include <system_error>

#include "core/file_utils.h"
#include "core/log.h"
#include "core/media_options.h"
#include "core/output_finish.h"
#include "core/settings_source.h"
#include "core/task_view.h"
#include "core/temp_area.h"
#include "core/text_utils.h"
#include "core/video_task_model.h"
#include "video/encoder_command.h"
#include "video/media_probe.h"
#include "video/target_encode.h"

namespace brisklo {
namespace fs = std::filesystem;

namespace {

// Another container or another frame size than the source's: the user asked for
// that file, so it is delivered even when it is larger.
bool IsConversion(const VideoTask& task, const VideoOptions& options, std::string_view extension) {
    const std::string sourceExtension = fs::path(task.fullPath).extension().string();
    if (sourceExtension.empty() || !EqualsIgnoringCase(sourceExtension.substr(1), extension)) {
        return true;
    }
    if (options.size.KeepsSource()) return false;
    return VideoFrameSize(task.fullPath) != options.size;
}

}  // namespace

VideoWorker::VideoWorker(VideoTaskModel& model, VideoOptionsProvider& options,
                         const SettingsSource& config, TaskView& view, MessageSink& sink,
                         fs::path encoder)
    : m_model(model),
      m_options(options),
      m_config(config),
      m_view(view),
      m_sink(sink),
      m_encoder(std::move(encoder)) {}

VideoWorker::~VideoWorker() { Stop(); }

void VideoWorker::Start() {
    if (!m_thread.joinable()) m_thread = std::thread([this] { Run(); });
}

void VideoWorker::Stop() {
    m_stopping = true;
    m_model.Shutdown();
    {
        std::lock_guard lock(m_runMutex);
        if (m_run) m_run->Stop();
    }
    if (m_thread.joinable()) m_thread.join();
    std::lock_guard lock(m_runMutex);
    m_run.reset();
}

bool VideoWorker::StopTask(std::int32_t id) {
    std::lock_guard lock(m_runMutex);
    if (!m_model.queue().IsRunning(id)) return false;
    if (m_run && m_runId == id) {
        m_run->Stop();
    } else {
        m_stopBeforeStart = id;  // taken, its encoder not started yet
    }
    return true;
}

void VideoWorker::Run() {
    while (!m_stopping) {
        auto next = m_model.TakeNext();
        if (!next) break;
        {
            // The previous encode has ended (its task was finished); let its reader go.
            std::lock_guard lock(m_runMutex);
            m_run.reset();
        }
        StartTask(next->first, next->second);
    }
}

void VideoWorker::StartTask(std::int32_t id, const VideoTask& task) {
    m_view.ShowRunning(id);
    VideoOptions options = m_options.CurrentVideoOptions();
    if (const auto own = m_model.FindParameters(id)) options = WithTaskParameters(options, *own);

    // A size to fit under: two passes at a rate planned from the source.
    std::shared_ptr<TargetEncode> target;
    if (options.target) {
        fs::path temp = RunTemporaryFolder();
        if (temp.empty()) temp = TemporaryRoot();
        auto planned = TargetEncode::Plan(task, options, temp, id);
        if (!planned) {
            PostMessage<MessageId::EncodeFailed>(
                m_sink, EncodeFailure{id, planned.error().message, FailureCode::TargetUnreachable});
            return;
        }
        target = std::move(planned).value();
    }
    auto command = BuildEncoderCommand(
        task, options, OutputFolderFor(m_config.GetOutputFolder(), task.outputSubfolder), m_encoder,
        target ? std::optional<TwoPassSettings>(target->Passes()) : std::nullopt);
    if (!command) {
        PostMessage<MessageId::EncodeFailed>(
            m_sink, EncodeFailure{id, command.error().message, FailureCode::OutputFailed});
        return;
    }
    EncoderCommand& built = command.value();
    const fs::path output = built.output->path();
    LogLine("%s\n", built.displayText.c_str());
    m_model.RecordOutput(id, output.string());

    // With a target, the source stands in for the output only when it fits too.
    const bool sourceFits = !target || task.fileSize <= target->targetBytes();
    OutputPlan plan{fs::path(task.fullPath), built.baseName, built.extension,
                    m_config.GetValid(Setting::KeepOriginalIfLarger) != 0 &&
                        !IsConversion(task, options, built.extension) && sourceFits,
                    m_config.GetValid(Setting::MinSavingPercent)};
    const std::chrono::seconds stallTimeout(m_config.GetValid(Setting::EncoderStallSeconds));
    EncodeRequest request{id, built.argv, output, stallTimeout,
                          [pending = built.output, plan] { return FinishOutput(*pending, plan); }};
    if (target) {
        request.firstPass = std::move(built.firstPass);
        request.checkSize = [target, finalPass = built.argv](std::uintmax_t size) {
            return target->Check(size, finalPass);
        };
    }
    // Dropping the command and the request removes the hidden output file.
    std::lock_guard lock(m_runMutex);
    if (m_stopping || m_stopBeforeStart == id) {
        if (!m_stopping) {
            m_stopBeforeStart = -1;
            PostMessage<MessageId::EncodeFailed>(
                m_sink, EncodeFailure{id, "the encode was stopped", FailureCode::Stopped});
        }
        return;
    }
    auto run = EncodeRun::Start(std::move(request), m_sink);
    if (!run) {
        PostMessage<MessageId::EncodeFailed>(
            m_sink, EncodeFailure{id, run.error().message, FailureCode::EncoderMissing});
        return;
    }
    m_run = std::move(run).value();
    m_runId = id;
}

}  // namespace brisklo
