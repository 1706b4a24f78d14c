// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/image_completion.h"

#include "core/task_outcome.h"
#include "core/task_view.h"
#include "image/image_dispatcher.h"

namespace brisklo {

void ImageCompletion::OnImageDone(const ImageResult& result) {
    const std::int32_t id = result.taskId;
    if (!m_dispatcher.Release(id)) return;
    if (!result.ok) {
        m_view.ShowFailed(id, {result.failure, result.reason});
    } else {
        const std::int64_t sourceSize = m_tasks.Find(id).value_or(ImageTask{}).fileSize;
        TaskOutcome outcome = MeasureOutcome(sourceSize, result.outputPath);
        outcome.keptOriginal = result.keptOriginal;
        if (outcome.ok()) {
            m_view.ShowFinished(id, outcome);
        } else {
            const std::filesystem::path source = m_tasks.Find(id).value_or(ImageTask{}).fullPath;
            m_view.ShowFailed(id,
                              {ClassifyFailure(FailureCode::OutputFailed, source, outcome.problem),
                               outcome.problem});
        }
    }
    m_tasks.queue().Finish(id);
}

}  // namespace brisklo
