#include "video/video_completion.h"

#include "core/log.h"
#include "core/task_outcome.h"
#include "core/video_task_model.h"
#include "video/encode_records.h"
#include "video/video_view.h"

namespace brisklo {

bool VideoCompletion::Dispatch(MessageId id, const std::any& payload) {
    switch (id) {
        case MessageId::EncodeProgress: {
            const auto& progress = std::any_cast<const EncodeProgressPtr&>(payload);
            m_view.ShowProgress(progress->taskId,
                                ProgressPercent(progress->durationMs, progress->timeMs),
                                progress->speed.load());
            return true;
        }
        case MessageId::EncodeSucceeded: {
            const auto& done = std::any_cast<const EncodeDone&>(payload);
            OnSucceeded(done.taskId, done.outputPath, done.warning, done.keptOriginal);
            return true;
        }
        case MessageId::EncodeFailed: {
            const auto& failure = std::any_cast<const EncodeFailure&>(payload);
            OnFailed(failure.taskId, failure.reason);
            return true;
        }
        default:
            return false;
    }
}

void VideoCompletion::OnSucceeded(std::int32_t taskId, const std::string& outputPath,
                                  const std::string& warning, bool keptOriginal) {
    // The encode has been moved into its final name: from now on the task's output.
    m_model.RecordOutput(taskId, outputPath);
    const std::int64_t sourceSize = m_model.Find(taskId).value_or(VideoTask{}).fileSize;
    TaskOutcome outcome = MeasureOutcome(sourceSize, outputPath);
    if (!outcome.ok()) {
        OnFailed(taskId, outcome.problem);
        return;
    }
    outcome.warning = warning;
    outcome.keptOriginal = keptOriginal;
    if (!warning.empty()) LogLine("%s: %s\n", outputPath.c_str(), warning.c_str());
    m_view.ShowFinished(taskId, outcome);
    m_model.Finish(taskId);
}

void VideoCompletion::OnFailed(std::int32_t taskId, const std::string& reason) {
    m_view.ShowFailed(taskId, reason);
    m_model.Finish(taskId);
}

}  // namespace brisklo
