#include "video/video_completion.h"

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "core/file_utils.h"
#include "core/log.h"
#include "core/saving.h"
#include "core/video_task_model.h"
#include "video/encode_records.h"
#include "video/video_view.h"

namespace brisklo {
namespace fs = std::filesystem;

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
            OnSucceeded(done.taskId, done.outputPath, done.keptOriginal);
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
                                  bool keptOriginal) {
    // The encode has been moved into its final name: from now on the task's output.
    m_model.RecordOutput(taskId, outputPath);
    const std::int64_t sourceSize = m_model.Find(taskId).value_or(VideoTask{}).fileSize;
    std::error_code error;
    const auto outputSize = fs::file_size(outputPath, error);
    if (error) {
        OnFailed(taskId, "the output file " + outputPath + " is missing");
        return;
    }

    VideoResult result;
    result.outputPath = outputPath;
    result.keptOriginal = keptOriginal;
    result.sourceSize = sourceSize;
    result.outputSize = static_cast<std::int64_t>(outputSize);
    result.saving = ComputeSaving(result.sourceSize, result.outputSize);
    result.sizeText = FormatFileSize(result.outputSize);

    std::ostringstream log;
    log << "srcFile.fileSize: " << result.sourceSize << "\n"
        << "fileSize: " << result.outputSize << "\n";
    if (result.saving) log << "percent: " << *result.saving << "\n";
    LogLine("%s", log.str().c_str());

    if (result.saving) {
        result.savingText = SavingText(*result.saving);
        result.savingColor = SavingColor(*result.saving);
    }
    m_view.ShowFinished(taskId, result);
    m_model.Finish(taskId);
}

void VideoCompletion::OnFailed(std::int32_t taskId, const std::string& reason) {
    m_view.ShowFailed(taskId, reason);
    m_model.Finish(taskId);
}

}  // namespace brisklo
