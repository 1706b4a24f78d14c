// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>

#include "app/batch_summary.h"
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

TEST(Translation, FollowsThePreferredLanguagesAndChineseNeedsNone) {
    using ui::TranslationLanguage;
    EXPECT_EQ(TranslationLanguage({QStringLiteral("en-US"), QStringLiteral("zh-CN")}),
              QStringLiteral("en"));
    EXPECT_EQ(TranslationLanguage({QStringLiteral("zh-Hans-CN"), QStringLiteral("en")}), QString());
    EXPECT_EQ(TranslationLanguage({QStringLiteral("C"), QStringLiteral("de_DE")}),
              QStringLiteral("de"));
    EXPECT_EQ(TranslationLanguage({}), QString());
}

// Each test runs in a process of its own, so the installed translation stays here.
TEST(Translation, EnglishReachesLayoutsRowsNoticesAndDialogs) {
    // No translation is shipped for Esperanto: the program stays in Chinese.
    EXPECT_EQ(ui::InstallTranslation(*qApp, {QStringLiteral("eo")}), QString());
    ASSERT_EQ(ui::InstallTranslation(*qApp, {QStringLiteral("en-GB")}), QStringLiteral("en"));

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
