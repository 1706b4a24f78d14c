// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/wrappable_text.h"

#include <gtest/gtest.h>

namespace brisklo::ui {
namespace {

const QChar kBreak(0x200B);

TEST(WrappableText, LeavesShortRunsSpacesAndCjkAlone) {
    for (const QString& text :
         {QStringLiteral("请先添加要压缩的文件!"), QStringLiteral("1/2 and <b>x</b>"),
          QStringLiteral("网络错误!"), QString(),
          QStringLiteral("a few words that wrap between them anyway")}) {
        EXPECT_EQ(WrappableText(text), text);
    }
    // Chinese text breaks between any two characters: no run forms.
    const QString chinese(60, QChar(0x6587));
    EXPECT_EQ(WrappableText(chinese), chinese);
}

TEST(WrappableText, BreaksLongPathsAfterTheirSeparators) {
    const QString path = QStringLiteral("/home/someone/Videos/holiday.mp4");
    const QString result =
        WrappableText(QStringLiteral("文件 ") + path + QStringLiteral(" 不存在"));
    EXPECT_EQ(result,
              QStringLiteral(
                  "文件 /\u200Bhome/\u200Bsomeone/\u200BVideos/\u200Bholiday.\u200Bmp4 不存在"));
    QString plain = result;
    EXPECT_EQ(plain.remove(kBreak), QStringLiteral("文件 ") + path + QStringLiteral(" 不存在"));
}

TEST(WrappableText, CutsLongStretchesWithoutSeparators) {
    const QString word(45, QLatin1Char('x'));
    const QString result = WrappableText(word, 20);
    EXPECT_EQ(result, QString(20, QLatin1Char('x')) + kBreak + QString(20, QLatin1Char('x')) +
                          kBreak + QString(5, QLatin1Char('x')));
    // Exactly at the limit: left alone.
    EXPECT_EQ(WrappableText(QString(20, QLatin1Char('y')), 20), QString(20, QLatin1Char('y')));
}

}  // namespace
}  // namespace brisklo::ui
