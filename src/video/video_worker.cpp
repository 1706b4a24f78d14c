#include "video/video_worker.h"

#include <system_error>

#include "core/log.h"
#include "core/output_finish.h"
#include "core/settings_source.h"
#include "core/video_task_model.h"
#include "video/encoder_command.h"
#include "video/video_view.h"

namespace brisklo {
namespace fs = std::filesystem;

VideoWorker::VideoWorker(VideoTaskModel& model, const SettingsSource& config, VideoView& view,
                         MessageSink& sink, fs::path encoder)
    : m_model(model), m_config(config), m_view(view), m_sink(sink), m_encoder(std::move(encoder)) {}

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
    const VideoOptionValues options = m_view.ReadOptions();
    const EncodeSettings settings =
        ResolveEncodeSettings(m_model.FindParameters(id), m_config, options);

    auto command = BuildEncoderCommand(task, settings, m_config.GetOutputFolder(), m_encoder);
    if (!command) {
        m_sink.Post(MessageId::EncodeFailed, EncodeFailure{id, command.error().message});
        return;
    }
    EncoderCommand& built = command.value();
    const fs::path output = built.output->path();
    LogLine("%s\n", built.displayText.c_str());
    m_model.RecordOutput(id, output.string());

    OutputPlan plan{fs::path(task.fullPath), built.baseName, built.extension,
                    m_config.Get(Setting::KeepOriginalIfLarger) != 0};
    EncodeRequest request{id, std::move(built.argv), output,
                          [pending = built.output, plan] { return FinishOutput(*pending, plan); }};
    // Dropping the command and the request removes the hidden output file.
    std::lock_guard lock(m_runMutex);
    if (m_stopping) return;
    auto run = EncodeRun::Start(std::move(request), m_sink);
    if (!run) {
        m_sink.Post(MessageId::EncodeFailed, EncodeFailure{id, run.error().message});
        return;
    }
    m_run = std::move(run).value();
}

}  // namespace brisklo
