// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <regex>

#include "app/main_window.h"
#include "app/row_texts.h"
#include "app/video_list_view.h"
#include "batch/batch_session.h"
#include "core/config_store.h"
#include "core/file_utils.h"
#include "core/media_kinds.h"
#include "core/saving.h"
#include "core/video_task.h"
#include "dialogs/message_boxes.h"
#include "row_test_support.h"
#include "test_support.h"
#include "ui/controls.h"
#include "video/encoder_locator.h"
#include "video/video_completion.h"
#include "video/video_view.h"

namespace brisklo::app {
namespace {
namespace fs = std::filesystem;
using test::Sub;
using test::SubControl;
using test::TempDir;

class VideoEndToEndTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(config.Set(Setting::OutputDir, out.string()));
        window.create();
    }

    // True once no video task waits or runs and the last result has been shown.
    bool Idle() {
        return window.session().videos().queue().WaitingIds().empty() &&
               window.session().videos().queue().RunningIds().empty();
    }

    TempDir dir;
    fs::path out = dir / "out";
    ConfigStore config{dir / "configure.ini"};
    MainWindow window{config, FindEncoder()};
};

TEST_F(VideoEndToEndTest, QueuedClipsRunOneAfterAnotherAndRowsShowEachState) {
    // Every encode is kept here, even one larger than its source.
    ASSERT_TRUE(config.Set(Setting::KeepOriginalIfLarger, 0));
    const fs::path a = test::MakeClip(dir / "a clip.mp4", 1.0);
    const fs::path broken = dir / "broken.mp4";
    test::WriteFile(broken, "this is not a video at all\n");
    const fs::path c = test::MakeClip(dir / "c'视频'.mov", 1.0);

    const auto idA = window.Add(MediaKind::Video, a);
    const auto idBroken = window.Add(MediaKind::Video, broken);
    const auto idC = window.Add(MediaKind::Video, c);
    ASSERT_EQ(window.videoView().RowCount(), 3);
    QWidget* rowA = window.videoView().Row(idA);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return Sub(rowA, "durationLabel") == QStringLiteral("00:00:01"); }, 10000));
    EXPECT_EQ(Sub(rowA, "fileSizeLabel"), QString::fromStdString(FormatFileSize(fs::file_size(a))));

    testing::internal::CaptureStdout();
    window.Compress(idA);
    // Waiting: it says so, and its button takes it off the queue.
    EXPECT_TRUE(Sub(rowA, "stateLabel").startsWith(QStringLiteral("等待中")));
    EXPECT_EQ(Sub(rowA, "compressBtn"), QStringLiteral("取消"));
    window.Compress(idBroken);
    window.Compress(idC);
    const bool done = QTest::qWaitFor([&] { return Idle(); }, 60000);
    const std::string log = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(done);

    // Taken in queue order, each only after the one before it was finished.
    std::vector<std::string> steps;
    const std::regex step(R"((idleTaskList|busyTaskList) task_id: (\d+))");
    for (auto it = std::sregex_iterator(log.begin(), log.end(), step); it != std::sregex_iterator();
         ++it) {
        steps.push_back((*it)[1].str().substr(0, 4) + (*it)[2].str());
    }
    const auto id = [](std::int32_t n) { return std::to_string(n); };
    EXPECT_EQ(steps, (std::vector<std::string>{"idle" + id(idA), "busy" + id(idA),
                                               "idle" + id(idBroken), "busy" + id(idBroken),
                                               "idle" + id(idC), "busy" + id(idC)}));

    for (auto [taskId, source] : {std::pair{idA, a}, std::pair{idC, c}}) {
        QWidget* row = window.videoView().Row(taskId);
        const fs::path output = window.session().videos().OutputPath(taskId).value();
        ASSERT_TRUE(fs::exists(output));
        EXPECT_EQ(output.parent_path(), out);
        EXPECT_EQ(Sub(row, "compressBtn"), QStringLiteral("压缩完成"));
        EXPECT_TRUE(ui::IsMouseEnabled(SubControl(row, "compressBtn")));
        EXPECT_EQ(Sub(row, "progress-label"), QStringLiteral("100%"));
        EXPECT_EQ(ui::Value(SubControl(row, "progress-slider")), 100);
        EXPECT_EQ(Sub(row, "s1Label"),
                  QString::fromStdString(FormatFileSize(fs::file_size(output))));
        const float saving = *ComputeSaving(fs::file_size(source), fs::file_size(output));
        EXPECT_EQ(Sub(row, "y1Label"), QString::asprintf("%.2f%%", static_cast<double>(saving)));
        EXPECT_EQ(ui::TextColor(SubControl(row, "y1Label")),
                  saving < 0 ? kGrowthColor : kSavingColor);
        EXPECT_TRUE(SubControl(row, "errorLabel")->isHidden());
    }
    EXPECT_EQ(window.session().videos().OutputPath(idA).value(), (out / "a clip.mp4").string());
    EXPECT_EQ(window.session().videos().OutputPath(idC).value(), (out / "c'视频'.mp4").string());

    QWidget* failed = window.videoView().Row(idBroken);
    EXPECT_FALSE(SubControl(failed, "errorLabel")->isHidden());
    EXPECT_FALSE(SubControl(failed, "errorLabel")->toolTip().isEmpty());
    EXPECT_TRUE(SubControl(failed, "progress-container")->isHidden());
    EXPECT_EQ(Sub(failed, "compressBtn"), QStringLiteral("压 缩"));
    EXPECT_TRUE(ui::IsMouseEnabled(SubControl(failed, "compressBtn")));
    EXPECT_FALSE(fs::exists(out / "broken.mp4"));  // nothing half-written left

    // Compressed again: a new numbered file, the first result stays.
    const auto firstSize = fs::file_size(out / "a clip.mp4");
    window.Compress(idA);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Idle(); }, 60000));
    EXPECT_EQ(window.session().videos().OutputPath(idA).value(), (out / "a clip(2).mp4").string());
    EXPECT_EQ(fs::file_size(out / "a clip.mp4"), firstSize);
    EXPECT_GT(fs::file_size(out / "a clip(2).mp4"), 0u);
}

TEST_F(VideoEndToEndTest, AClipThatDoesNotShrinkKeepsTheOriginalUnlessConverted) {
    // Already smaller than any re-encode at the default audio rate can be.
    const fs::path tiny = dir / "tiny.mp4";
    std::string log;
    ASSERT_EQ(
        test::RunProgram({"ffmpeg", "-v",      "error",     "-y",
                          "-f",     "lavfi",   "-i",        "testsrc=size=64x48:rate=5:duration=1",
                          "-f",     "lavfi",   "-i",        "sine=sample_rate=8000:duration=1",
                          "-c:v",   "libx264", "-crf",      "45",
                          "-c:a",   "aac",     "-b:a",      "8k",
                          "-ac",    "1",       "-shortest", tiny.string()},
                         &log),
        0)
        << log;
    const auto id = window.Add(MediaKind::Video, tiny);
    window.Compress(id);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Idle(); }, 60000));

    const fs::path output = window.session().videos().OutputPath(id).value();
    EXPECT_EQ(output, out / "tiny.mp4");
    EXPECT_EQ(test::ReadFile(output), test::ReadFile(tiny));
    QWidget* row = window.videoView().Row(id);
    EXPECT_EQ(Sub(row, "progress-label"), QStringLiteral("已是最优，保留原文件"));
    EXPECT_EQ(Sub(row, "s1Label"), QString::fromStdString(FormatFileSize(fs::file_size(tiny))));
    EXPECT_EQ(Sub(row, "y1Label"), QStringLiteral("0.00%"));
    EXPECT_EQ(ui::TextColor(SubControl(row, "y1Label")), kSavingColor);

    // MOV chosen: the user asked for that file, so it comes even though it is larger,
    // its negative saving in red.
    window.control<QAbstractButton>(QStringLiteral("radio-mov"))->click();
    window.Compress(id);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return Idle() && window.session().videos().OutputPath(id) != output.string(); },
        60000));
    const fs::path converted = window.session().videos().OutputPath(id).value();
    EXPECT_EQ(converted, out / "tiny.mov");
    EXPECT_GT(fs::file_size(converted), fs::file_size(tiny));
    EXPECT_TRUE(Sub(row, "y1Label").startsWith(QLatin1Char('-')))
        << Sub(row, "y1Label").toStdString();
    EXPECT_EQ(ui::TextColor(SubControl(row, "y1Label")), kGrowthColor);
}

TEST_F(VideoEndToEndTest, OptionControlsAreReadWhenTheTaskStarts) {
    const fs::path a = test::MakeClip(dir / "a.mp4", 1.0);
    ui::SetChecked(window.control(QStringLiteral("video-compress-check")), true);
    ui::SetValue(window.control(QStringLiteral("video-compress-slider")), 40);
    ui::SetChecked(window.control(QStringLiteral("video-compress-balanced-check")), true);
    const auto id = window.Add(MediaKind::Video, a);
    testing::internal::CaptureStdout();
    window.Compress(id);
    const bool done = QTest::qWaitFor([&] { return Idle(); }, 60000);
    const std::string log = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(done);
    EXPECT_NE(log.find("-preset fast -crf 40 -ab 128000 -ar 44100 -ac 2"), std::string::npos)
        << log;
}

TEST_F(VideoEndToEndTest, MissingEncoderFailsEachTaskAndTheQueueGoesOn) {
    MainWindow noEncoder{config, "/nonexistent/ffmpeg"};
    noEncoder.create();
    const fs::path a = test::MakeClip(dir / "a.mp4", 1.0);
    fs::copy_file(a, dir / "b.mp4");
    const auto first = noEncoder.Add(MediaKind::Video, a);
    const auto second = noEncoder.Add(MediaKind::Video, dir / "b.mp4");
    noEncoder.Compress(first);
    noEncoder.Compress(second);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return noEncoder.session().videos().queue().WaitingIds().empty() &&
                   noEncoder.session().videos().queue().RunningIds().empty();
        },
        20000));
    for (auto taskId : {first, second}) {
        QWidget* row = noEncoder.videoView().Row(taskId);
        EXPECT_FALSE(SubControl(row, "errorLabel")->isHidden());
        EXPECT_NE(
            SubControl(row, "errorLabel")->toolTip().indexOf(QStringLiteral("/nonexistent/ffmpeg")),
            -1);
    }
    EXPECT_TRUE(fs::is_empty(out));  // the reserved names were given back
}

TEST_F(VideoEndToEndTest, EscapeDoesNotCloseTheMainWindow) {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_TRUE(window.isVisible());
}

TEST_F(VideoEndToEndTest, ClosingDuringAnEncodeStopsItAndRemovesTheOutput) {
    // An encoder that starts writing and then hangs.
    const fs::path encoder = dir / "hanging-ffmpeg";
    test::WriteFile(encoder,
                    "#!/bin/bash\nout=\"${@: -1}\"\n"
                    "printf '  Duration: 00:01:00.00, start: 0\\n' >&2\n"
                    "printf 'partial' > \"$out\"\nexec sleep 60\n");
    fs::permissions(encoder, fs::perms::owner_all);
    const fs::path clip = test::MakeClip(dir / "long.mp4", 1.0);
    const auto started = std::chrono::steady_clock::now();
    {
        MainWindow closing{config, encoder};
        closing.create();
        closing.show();
        const auto id = closing.Add(MediaKind::Video, clip);
        closing.Compress(id);
        // The encoder writes a hidden file; the final name appears only when done.
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                const auto output = closing.session().videos().OutputPath(id);
                std::error_code error;
                return output && fs::file_size(*output, error) > 0;
            },
            20000));
        // Closing while a video encodes asks first; the user confirms.
        dialogs::ScriptedBoxAnswers confirm({1});
        closing.close();
        EXPECT_EQ(confirm.texts().size(), 1);
    }
    EXPECT_TRUE(fs::is_empty(out));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(15));
}

TEST(ComputeSaving, ArithmeticAndZeroSource) {
    EXPECT_FLOAT_EQ(*ComputeSaving(100 * 1024, 120 * 1024), -20.0f);
    EXPECT_FLOAT_EQ(*ComputeSaving(100 * 1024, 25 * 1024), 75.0f);
    // Sizes past 4 GiB keep their high bits.
    EXPECT_FLOAT_EQ(*ComputeSaving(8LL << 30, 2LL << 30), 75.0f);
    EXPECT_FALSE(ComputeSaving(0, 10).has_value());
}

}  // namespace
}  // namespace brisklo::app
