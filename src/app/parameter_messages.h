#pragma once

#include <any>

#include "core/messages.h"

namespace brisklo {
class VideoTaskModel;

namespace app {

class VideoListView;

// The task parameter dialog's two messages: its parameters saved (a TaskParam)
// replace the task's earlier ones and show the row's marker; removed (a task id)
// drop them and hide it. True when the message was one of them.
bool DispatchParameterMessage(MessageId id, const std::any& payload, VideoTaskModel& model,
                              VideoListView& view);

}  // namespace app
}  // namespace brisklo
