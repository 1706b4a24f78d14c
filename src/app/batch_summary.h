// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <chrono>

#include "batch/batch_totals.h"

namespace brisklo::app {

// "3 个成功, 1 个失败, 共节省 12.5MB (45.20%)" in the user's language.
QString BatchSummaryText(const BatchTotals& totals);
QString BatchEndedTitle();
// The line of a running batch: "12 / 40 · 已节省 1.2G · 剩余约 3 分钟", and
// "已暂停" while paused.
QString BatchProgressText(const BatchTotals& totals, bool paused);
// "不到 1 分钟", "约 3 分钟", "约 2 小时 5 分钟".
QString TimeLeftText(std::chrono::seconds left);

}  // namespace brisklo::app
