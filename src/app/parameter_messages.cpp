// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/parameter_messages.h"

#include "app/video_list_view.h"
#include "core/video_task_model.h"

namespace brisklo::app {

void SaveTaskParameters(const TaskParam& param, VideoTaskModel& model, VideoListView& view) {
    view.ShowParameterFlag(param.taskId, true);
    model.SetParameters(param);  // logs "paramList.size: %d"
}

void RemoveTaskParameters(std::int32_t taskId, VideoTaskModel& model, VideoListView& view) {
    view.ShowParameterFlag(taskId, false);
    model.ClearParameters(taskId);
}

}  // namespace brisklo::app
