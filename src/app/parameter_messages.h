// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace brisklo {
class VideoTaskModel;
struct TaskParam;

namespace app {

class VideoListView;

// The task parameter dialog's two messages: its parameters saved replace the
// task's earlier ones and show the row's marker; removed drops them and hides it.
void SaveTaskParameters(const TaskParam& param, VideoTaskModel& model, VideoListView& view);
void RemoveTaskParameters(std::int32_t taskId, VideoTaskModel& model, VideoListView& view);

}  // namespace app
}  // namespace brisklo
