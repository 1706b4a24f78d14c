#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <initializer_list>
#include <string>

namespace brisklo::app {

struct TaskRowNames {
    const char* checkBox;
    const char* compressButton;
    const char* menuButton;
};

// Fills what every new list row shows: the task id as the tag of the row and of
// its buttons and check box, the file name (elided in the middle, the full path
// as its tooltip), the size text, and the check box ticked.
void FillTaskRow(QWidget* row, std::int32_t taskId, const TaskRowNames& names,
                 const std::string& fileName, const std::string& fullPath, std::int64_t fileSize);

}  // namespace brisklo::app
