// SPDX-License-Identifier: GPL-3.0-or-later
#include "video/video_completion.h"

#include "core/log.h"
#include "core/task_outcome.h"
#include "core/task_view.h"
#include "core/video_task_model.h"
#include "video/encode_records.h"

namespace brisklo {

void VideoCompletion::OnSucceeded(const EncodeDone& done) {
    // The encode has been moved into its final name: from now on the task's output.
    m_model.RecordOutput(done.taskId, done.outputPath);
    const std::int64_t sourceSize = m_model.Find(done.taskId).value_or(VideoTask{}).fileSize;
    TaskOutcome outcome = MeasureOutcome(sourceSize, done.outputPath);
    if (!outcome.ok()) {
        Fail(done.taskId, {FailureCode::OutputFailed, outcome.problem});
        return;
    }
    outcome.warning = done.warning;
    outcome.keptOriginal = done.keptOriginal;
    if (!done.warning.empty()) {
        LogLine("%s: %s\n", done.outputPath.c_str(), done.warning.c_str());
    }
    m_view.ShowFinished(done.taskId, outcome);
    m_model.Finish(done.taskId);
}

void VideoCompletion::OnFailed(const EncodeFailure& failure) {
    Fail(failure.taskId, {failure.code, failure.reason});
}

void VideoCompletion::Fail(std::int32_t taskId, TaskFailure failure) {
    const std::string source = m_model.Find(taskId).value_or(VideoTask{}).fullPath;
    failure.code = ClassifyFailure(failure.code, source, failure.reason);
    m_view.ShowFailed(taskId, failure);
    m_model.Finish(taskId);
}

}  // namespace brisklo
