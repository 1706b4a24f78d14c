// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace brisklo::ui {

// A wrapping label breaks lines only between words, so a long path or address
// would stretch its window or be cut off. This returns text with invisible
// break opportunities (U+200B) added to every run of more than longestRun
// characters without one: after its separators (/ \ _ - .) and inside any
// stretch still longer than longestRun. Shorter runs, spaces and CJK text,
// which breaks anywhere already, are left as they are.
QString WrappableText(const QString& text, int longestRun = 20);

}  // namespace brisklo::ui
