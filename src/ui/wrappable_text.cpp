// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/wrappable_text.h"

namespace brisklo::ui {

namespace {
constexpr char16_t kZeroWidthSpace = u'\u200B';

// Characters a line may already break after or between.
bool BreaksAnyway(QChar c) {
    if (c.isSpace() || c == QChar(kZeroWidthSpace)) return true;
    switch (c.script()) {
        case QChar::Script_Han:
        case QChar::Script_Hiragana:
        case QChar::Script_Katakana:
        case QChar::Script_Hangul:
            return true;
        default:
            return false;
    }
}

bool IsSeparator(QChar c) { return c == u'/' || c == u'\\' || c == u'_' || c == u'-' || c == u'.'; }

// Adds break opportunities to one run without any: after its separators, and
// inside every stretch still longer than longestRun.
void AppendBreakable(QString& out, QStringView run, int longestRun) {
    int stretch = 0;
    for (qsizetype i = 0; i < run.size(); ++i) {
        const QChar c = run[i];
        out += c;
        ++stretch;
        const bool last = i + 1 == run.size();
        if (!last && (IsSeparator(c) || stretch >= longestRun)) {
            out += QChar(kZeroWidthSpace);
            stretch = 0;
        }
    }
}
}  // namespace

QString WrappableText(const QString& text, int longestRun) {
    QString result;
    result.reserve(text.size() + text.size() / 8);
    qsizetype runStart = 0;
    const auto flush = [&](qsizetype end) {
        const QStringView run = QStringView(text).mid(runStart, end - runStart);
        if (run.size() > longestRun) {
            AppendBreakable(result, run, longestRun);
        } else {
            result += run;
        }
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!BreaksAnyway(text[i])) continue;
        flush(i);
        result += text[i];
        runStart = i + 1;
    }
    flush(text.size());
    return result;
}

}  // namespace brisklo::ui
