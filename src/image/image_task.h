// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "core/task_list.h"

namespace brisklo {

// One row of the image list.
struct ImageTask {
    std::string fileName;  // shown in the row: the source's name without its folder
    std::string auxText;   // stays empty for images
    std::filesystem::path fullPath;
    // Source size in bytes when the file was added; the saving compares against it.
    std::int64_t fileSize = 0;
    // Where under the output folder the output goes, as for videos.
    std::filesystem::path outputSubfolder;
};

// The image list's tasks and queue (idleTaskImageList, busyTaskImageList): at
// most three jobs run at once.
class ImageTaskList : public TaskList<ImageTask> {
  public:
    static constexpr std::size_t kMaxRunningJobs = 3;
    explicit ImageTaskList(TaskIdCounter& ids)
        : TaskList<ImageTask>(ids, kMaxRunningJobs, kImageQueueNames) {}
};

}  // namespace brisklo
