// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "core/task_failure.h"

namespace brisklo::app {

// A failed row's words for why it failed, short enough for the row ("磁盘空间不足",
// "No space left"), in the user's language.
QString FailureText(FailureCode code);

// The failed row's tooltip: the short text, then the engine's own detail (the
// file and what the encoder or the image library said) on the line below.
QString FailureToolTip(const TaskFailure& failure);

}  // namespace brisklo::app
