// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>

#include "app/batch_summary.h"
#include "app/failure_texts.h"
#include "app/main_window.h"
#include "app/row_texts.h"
#include "core/config_store.h"
#include "dialogs/dialog_environment.h"
#include "dialogs/dialog_texts.h"
#include "dialogs/feedback_dialog.h"
#include "test_support.h"
#include "ui/controls.h"
#include "ui/translations.h"

namespace brisklo {
namespace {

TEST(Translation, WalksThePreferredLanguagesChineseNeedsNoneAndOthersGetEnglish) {
    using ui::TranslationLanguage;
    const QStringList shipped{QStringLiteral("en")};
    const auto language = [&](std::initializer_list<const char*> preferred) {
        QStringList list;
        for (const char* item : preferred) list << QString::fromLatin1(item);
        return TranslationLanguage(list, shipped);
    };
    EXPECT_EQ(language({"en-US", "zh-CN"}), QStringLiteral("en"));
    // Any Chinese: the source texts, wherever it stands in the list.
    EXPECT_EQ(language({"zh-Hans-CN", "en"}), QString());
    EXPECT_EQ(language({"zh-TW"}), QString());
    EXPECT_EQ(language({"zh_TW"}), QString());
    EXPECT_EQ(language({"zh-Hant-HK", "en"}), QString());
    EXPECT_EQ(language({"de-DE", "zh-CN"}), QString());
    // German, French or Japanese have no translation: English, not Chinese.
    EXPECT_EQ(language({"de-DE"}), QStringLiteral("en"));
    EXPECT_EQ(language({"de", "en"}), QStringLiteral("en"));  // LANGUAGE=de:en
    EXPECT_EQ(language({"fr-FR", "ja-JP"}), QStringLiteral("en"));
    EXPECT_EQ(language({"C"}), QStringLiteral("en"));
    EXPECT_EQ(language({}), QStringLiteral("en"));
    // A shipped language further down the list wins over English by default.
    EXPECT_EQ(TranslationLanguage({QStringLiteral("fr"), QStringLiteral("de")},
                                  {QStringLiteral("en"), QStringLiteral("de")}),
              QStringLiteral("de"));
    EXPECT_TRUE(ui::ShippedTranslations().contains(QStringLiteral("en")))
        << ui::ShippedTranslations().join(u',').toStdString();
}

// Qt's own texts (the file choosers) come in the Chinese variant asked for.
TEST(Translation, ChineseLoadsQtsOwnTextsInTheVariantAskedFor) {
    ASSERT_EQ(ui::InstallTranslation(*qApp, {QStringLiteral("zh-TW"), QStringLiteral("en")}),
              QString());
    const QString lookIn = QCoreApplication::translate("QFileDialog", "Look in:");
    EXPECT_NE(lookIn, QStringLiteral("Look in:"));
    EXPECT_FALSE(lookIn.isEmpty());
    // The program's own texts stay the Chinese source texts.
    EXPECT_EQ(app::row_text::DoneButton(), QStringLiteral("压缩完成"));
}

// Each test runs in a process of its own, so the installed translation stays here.
TEST(Translation, EnglishReachesLayoutsRowsNoticesAndDialogs) {
    // No translation is shipped for German: English, the same as asked for plainly.
    ASSERT_EQ(ui::InstallTranslation(*qApp, {QStringLiteral("de-DE")}), QStringLiteral("en"));

    test::TempDir dir;
    ConfigStore config{dir / "configure.ini"};
    app::MainWindow window(config, "ffmpeg");
    window.create();
    EXPECT_EQ(ui::Text(window.control(QStringLiteral("add-video-file"))),
              QStringLiteral("Add files"));
    EXPECT_EQ(ui::Text(window.control(QStringLiteral("all-compress"))),
              QStringLiteral("Compress all"));
    EXPECT_EQ(app::row_text::DoneButton(), QStringLiteral("Done"));
    EXPECT_EQ(app::SizeProblemNotice(SizeFieldProblem::EmptyWidth),
              QStringLiteral("Please enter the image width."));
    EXPECT_EQ(dialogs::FeedbackNotice(FeedbackOutcome::NetworkError),
              QStringLiteral("Network error."));
    // Failures in English words, the engine's detail below them.
    EXPECT_EQ(app::FailureText(FailureCode::NoSpace), QStringLiteral("No space left on the disk"));
    EXPECT_EQ(app::FailureToolTip({FailureCode::SourceMissing, "a.mp4: No such file"}),
              QStringLiteral("Source file missing\na.mp4: No such file"));

    dialogs::FeedbackDialog feedback(nullptr, "https://127.0.0.1:9",
                                     dialogs::DialogEnvironment::Default());
    feedback.create();
    EXPECT_EQ(feedback.windowTitle(), QStringLiteral("Feedback"));
}

TEST(BatchSummary, SaysHowTheBatchWent) {
    BatchTotals totals;
    totals.succeeded = 2;
    totals.failed = 1;
    totals.bytesIn = 4000;
    totals.bytesOut = 2500;
    // 4000 bytes in, 2500 out: 1500 saved, 37.50 %.
    EXPECT_EQ(app::BatchSummaryText(totals),
              QStringLiteral("2 个成功, 1 个失败, 共节省 1KB (37.50%)"));
    // Nothing succeeded: no saving to speak of.
    BatchTotals failed;
    failed.failed = 2;
    EXPECT_EQ(app::BatchSummaryText(failed), QStringLiteral("0 个成功, 2 个失败"));
}

}  // namespace
}  // namespace brisklo
