// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "batch/batch_totals.h"

namespace brisklo::app {

// "3 个成功, 1 个失败, 共节省 12.5MB (45.20%)" in the user's language.
QString BatchSummaryText(const BatchTotals& totals);
QString BatchEndedTitle();

}  // namespace brisklo::app
