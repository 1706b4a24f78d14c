// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <filesystem>
#include <vector>

namespace brisklo::app {

// A sub-folder an add left out, with the folder the user added it under (the
// output mirrors the path between them when it is added later).
struct SkippedFolder {
    std::filesystem::path root;
    std::filesystem::path folder;
};

// What one add of files and folders did.
struct AddReport {
    int videos = 0;
    int images = 0;
    int alreadyListed = 0;
    int unsupported = 0;  // neither a video nor an image, or not of the kind asked for
    int unreadable = 0;
    std::vector<SkippedFolder> skippedFolders;

    bool empty() const {
        return videos + images + alreadyListed + unsupported + unreadable == 0 &&
               skippedFolders.empty();
    }
};

// "已添加 3 个视频到“视频压缩”，5 张图片到“图片压缩”。跳过 2 个不支持的文件，1
// 个已在列表中的文件。"
QString AddReportText(const AddReport& report);

}  // namespace brisklo::app
