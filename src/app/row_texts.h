// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>

#include "core/task_outcome.h"
#include "image/image_size_check.h"

namespace brisklo::app {

// Texts and colours of the task rows and the main window's notices. The
// Chinese texts are the source language; translations replace them at run time.
namespace row_text {
QString RunningButton();             // "压缩中"
QString DoneButton();                // "压缩完成"
QString CompressButton();            // "压 缩"
QString ImageRunningProgress();      // "正在压缩"
QString ImageDoneProgress();         // "完成"
QString KeptOriginal();              // "已是最优，保留原文件"
QString CancelButton();              // "取消": a waiting row's button
QString Waiting(std::size_t place);  // "等待中 (第 n 个)"
QString Stopped();                   // "已停止"
QString Cancelled();                 // "已取消"
// What assistive tools call a row's check box and menu button: "选择 a.mp4",
// "a.mp4 的更多操作".
QString SelectName(const QString& fileName);
QString MoreActionsName(const QString& fileName);
}  // namespace row_text

// Colours of the saving figure and of a failure, 0xAARRGGBB: green, or red when
// the output is larger than its source.
inline constexpr std::uint32_t kSavingColor = 0xFF10C00B;
inline constexpr std::uint32_t kGrowthColor = 0xFFFF0000;
inline constexpr std::uint32_t kFailureColor = kGrowthColor;

// The saving figure of a finished row ("75.00%"), empty without one, and its colour.
QString SavingFigure(const TaskOutcome& outcome);
std::uint32_t SavingFigureColor(const TaskOutcome& outcome);

// Notices of the start actions.
QString NoImagesNotice();  // "请先添加文件!"
QString SizeProblemNotice(SizeFieldProblem problem);

}  // namespace brisklo::app
