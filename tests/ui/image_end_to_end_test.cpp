// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "app/image_list_view.h"
#include "app/main_window.h"
#include "app/row_texts.h"
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

namespace brisklo::app {
namespace {
namespace fs = std::filesystem;
using test::Sub;
using test::SubControl;
using test::TempDir;

class ImageEndToEndTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(config.Set(Setting::OutputDir, out.string()));
        window.create();
    }
    bool Idle() {
        return window.session().images().queue().WaitingIds().empty() &&
               window.session().images().queue().RunningIds().empty();
    }

    TempDir dir;
    fs::path out = dir / "out";
    ConfigStore config{dir / "configure.ini"};
    test::ScopedEnv data{"XDG_DATA_HOME", (dir / "data").string()};
    MainWindow window{config, "ffmpeg"};
};

TEST_F(ImageEndToEndTest, RowsShowRunningFinishedAndFailed) {
    // Every output is kept here, even one larger than its source.
    ASSERT_TRUE(config.Set(Setting::KeepOriginalIfLarger, 0));
    std::vector<std::int32_t> ids;
    for (const char* name : {"a.png", "b.jpg", "c 照片.bmp", "d.gif"}) {
        ids.push_back(window.Add(MediaKind::Image, test::MakePicture(dir / name, "320x240")));
    }
    test::WriteFile(dir / "fake.png", "<svg xmlns='http://www.w3.org/2000/svg'/>");
    const auto fake = window.Add(MediaKind::Image, dir / "fake.png");
    ASSERT_EQ(window.imageView().RowCount(), 5);

    window.CompressAll(MediaKind::Image);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Idle(); }, 60000));
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return Sub(window.imageView().Row(fake), "progress-label") ==
               QStringLiteral("不支持的文件");
    }));

    for (const auto id : ids) {
        QWidget* row = window.imageView().Row(id);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return Sub(row, "progress-label") == QStringLiteral("完成"); }));
        EXPECT_EQ(Sub(row, "imageCompressBtn"), QStringLiteral("压缩完成"));
        // A click shows the output in the file manager.
        EXPECT_TRUE(ui::IsMouseEnabled(SubControl(row, "imageCompressBtn")));
        const fs::path output = SubControl(row, "s1Label")->toolTip().toStdString();
        ASSERT_TRUE(fs::exists(output));
        EXPECT_EQ(output.parent_path(), out);
        EXPECT_EQ(Sub(row, "s1Label"),
                  QString::fromStdString(FormatFileSize(fs::file_size(output))));
        const auto source = window.session().images().Find(id)->fileSize;
        const float saving = *ComputeSaving(source, fs::file_size(output));
        EXPECT_EQ(Sub(row, "y1Label"), QString::fromStdString(SavingText(saving)));
        EXPECT_EQ(ui::TextColor(SubControl(row, "y1Label")),
                  saving < 0 ? kGrowthColor : kSavingColor);
    }
    QWidget* failed = window.imageView().Row(fake);
    EXPECT_EQ(Sub(failed, "imageCompressBtn"), QStringLiteral("压 缩"));
    EXPECT_TRUE(ui::IsMouseEnabled(SubControl(failed, "imageCompressBtn")));
    EXPECT_NE(SubControl(failed, "progress-label")->toolTip().indexOf(QStringLiteral("fake.png")),
              -1);
    EXPECT_FALSE(fs::exists(out / "fake.png"));

    // Compressed again through the row menu's message: a numbered output.
    window.post(static_cast<int>(MessageId::CompressImageAgain), ids[0]);
    ASSERT_TRUE(QTest::qWaitFor([&] { return fs::exists(out / "a(2).png"); }, 30000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Idle(); }, 30000));
}

TEST_F(ImageEndToEndTest, AnImageThatDoesNotShrinkKeepsTheOriginalAndTheRowSaysSo) {
    // A photo saved at the lowest JPEG quality: quality 80 can only make it larger.
    const fs::path ramp = dir / "coarse.jpg";
    std::string log;
    ASSERT_EQ(test::RunProgram({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i",
                                "testsrc=s=320x240", "-frames:v", "1", "-q:v", "31", ramp.string()},
                               &log),
              0)
        << log;
    const auto id = window.Add(MediaKind::Image, ramp);
    window.Compress(id);
    QWidget* row = window.imageView().Row(id);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return Sub(row, "progress-label") == QStringLiteral("已是最优，保留原文件"); },
        60000));
    const fs::path output = SubControl(row, "s1Label")->toolTip().toStdString();
    EXPECT_EQ(output, out / "coarse.jpg");
    EXPECT_EQ(test::ReadFile(output), test::ReadFile(ramp));
    EXPECT_EQ(Sub(row, "s1Label"), QString::fromStdString(FormatFileSize(fs::file_size(ramp))));
    EXPECT_EQ(Sub(row, "y1Label"), QStringLiteral("0.00%"));
    EXPECT_EQ(ui::TextColor(SubControl(row, "y1Label")), kSavingColor);
    EXPECT_EQ(Sub(row, "imageCompressBtn"), QStringLiteral("压缩完成"));
}

TEST_F(ImageEndToEndTest, BadCustomSizeIsRefusedWithItsNotice) {
    const auto id = window.Add(MediaKind::Image, test::MakePicture(dir / "a.png", "320x240"));
    ui::SetChecked(window.control(QStringLiteral("image-define-param")), true);
    ui::SetText(window.control(QStringLiteral("image-width")), QStringLiteral("12a"));
    dialogs::ScriptedBoxAnswers answers;
    window.Compress(id);
    ui::SetText(window.control(QStringLiteral("image-width")), QString());
    window.CompressAll(MediaKind::Image);
    EXPECT_EQ(answers.texts(), (QStringList{QStringLiteral("图片宽度必须为数字!"),
                                            QStringLiteral("请输入图片的宽度!")}));
    EXPECT_TRUE(window.session().images().queue().WaitingIds().empty());
    EXPECT_TRUE(window.session().images().queue().RunningIds().empty());
    EXPECT_TRUE(ui::IsMouseEnabled(SubControl(window.imageView().Row(id), "imageCompressBtn")));
}

}  // namespace
}  // namespace brisklo::app
