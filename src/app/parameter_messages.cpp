#include "app/parameter_messages.h"

#include "app/video_list_view.h"
#include "core/video_task_model.h"

namespace brisklo::app {

bool DispatchParameterMessage(MessageId id, const std::any& payload, VideoTaskModel& model,
                              VideoListView& view) {
    if (id == MessageId::ParametersSaved) {
        if (const auto* param = std::any_cast<TaskParam>(&payload)) {
            view.ShowParameterFlag(param->taskId, true);
            model.SetParameters(*param);  // logs "paramList.size: %d"
        }
        return true;
    }
    if (id == MessageId::ParametersRemoved) {
        if (const auto* taskId = std::any_cast<std::int32_t>(&payload)) {
            view.ShowParameterFlag(*taskId, false);
            model.ClearParameters(*taskId);
        }
        return true;
    }
    return false;
}

}  // namespace brisklo::app
