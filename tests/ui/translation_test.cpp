#include <gtest/gtest.h>

#include <QApplication>

#include "app/batch_tally.h"
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

TEST(BatchTally, SummarisesTheEndedTasksAndStartsAgain) {
    app::BatchTally tally;
    EXPECT_TRUE(tally.Empty());
    TaskOutcome smaller;
    smaller.sourceSize = 3000;
    smaller.outputSize = 1000;
    TaskOutcome grown;
    grown.sourceSize = 1000;
    grown.outputSize = 1500;
    tally.Succeeded(smaller);
    tally.Succeeded(grown);
    tally.Failed();
    const app::BatchSummary summary = tally.Take();
    EXPECT_TRUE(tally.Empty());
    EXPECT_EQ(summary.succeeded, 2);
    EXPECT_EQ(summary.failed, 1);
    // 4000 bytes in, 2500 out: 1500 saved, 37.50 %.
    EXPECT_EQ(app::BatchSummaryText(summary),
              QStringLiteral("2 个成功, 1 个失败, 共节省 1KB (37.50%)"));
    // Nothing succeeded: no saving to speak of.
    EXPECT_EQ(app::BatchSummaryText({0, 2, 0, 0}), QStringLiteral("0 个成功, 2 个失败"));
}

}  // namespace
}  // namespace brisklo
