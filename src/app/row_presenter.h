// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

namespace brisklo::app {

struct TaskRow;
struct TaskRowData;

// Fills a row's widgets from its data, whatever the widgets showed before (they
// are reused for another task as the list scrolls). place: the queue place of a
// waiting task (0 when unknown).
void PresentVideoRow(const TaskRow& row, const TaskRowData& data, std::size_t place);
void PresentImageRow(const TaskRow& row, const TaskRowData& data, std::size_t place);

}  // namespace brisklo::app
