// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window_texts.h"

#include <QCoreApplication>
#include <QStringList>

namespace brisklo::app::window_text {
namespace {

QString Translated(const char* source) { return QCoreApplication::translate("MainWindow", source); }

// "*.[mM][pP]4 ...": the file systems here tell case apart, and an extension is
// taken in any spelling.
template <std::size_t N>
QString Patterns(const std::array<std::string_view, N>& extensions) {
    QStringList patterns;
    for (const std::string_view extension : extensions) {
        QString pattern = QStringLiteral("*.");
        for (const char c : extension) {
            const QChar letter = QLatin1Char(c);
            if (letter.isLetter()) {
                pattern +=
                    QLatin1Char('[') + letter.toLower() + letter.toUpper() + QLatin1Char(']');
            } else {
                pattern += letter;
            }
        }
        patterns << pattern;
    }
    return patterns.join(QLatin1Char(' '));
}

}  // namespace

QString Title() { return Translated(QT_TRANSLATE_NOOP("MainWindow", "BRK视频压缩")); }

QString FileFilter(MediaKind kind) {
    // The dialog hides the last parenthesised part, the patterns it really uses,
    // and shows the description with its own list of extensions.
    if (kind == MediaKind::Image) {
        return Translated(
                   QT_TRANSLATE_NOOP("MainWindow", "支持图片格式(*.bmp;*.jpg;*.png;*.gif)")) +
               QStringLiteral(" (") + Patterns(kImageExtensions) + QStringLiteral(")");
    }
    return Translated(QT_TRANSLATE_NOOP(
               "MainWindow",
               "视频文件(*.mp4;*.flv;*.wmv;*.avi;*.mov;*.mkv;*.m4v;*.f4v;*.ts;*.mts;*.rm;*.rmvb;"
               "*.m3u8;*.webm;*.mpg;*.mpeg;*.asf;*.dat;*.3gp;*.3g2;*.vob;*.ogv;*.divx;*.mxf)")) +
           QStringLiteral(" (") + Patterns(kVideoExtensions) + QStringLiteral(")");
}

QString FolderChooserTitle(MediaKind kind) {
    return kind == MediaKind::Image
               ? Translated(QT_TRANSLATE_NOOP("MainWindow", "选择图片存放目录"))
               : Translated(QT_TRANSLATE_NOOP("MainWindow", "选择视频存放目录"));
}

}  // namespace brisklo::app::window_text
