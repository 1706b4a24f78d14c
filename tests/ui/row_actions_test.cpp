// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/row_actions.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include "app/image_list_view.h"
#include "app/main_window.h"
#include "app/menu_placement.h"
#include "app/row_menus.h"
#include "app/video_list_view.h"
#include "batch/batch_session.h"
#include "core/config_store.h"
#include "core/media_kinds.h"
#include "core/messages.h"
#include "core/video_task.h"
#include "dialog_test_support.h"
#include "dialogs/message_boxes.h"
#include "dialogs/param_dialog.h"
#include "dialogs/settings_dialog.h"
#include "row_test_support.h"
#include "test_support.h"
#include "ui/controls.h"
#include "video/encoder_locator.h"

namespace brisklo::app {
namespace {
namespace fs = std::filesystem;
using test::SubControl;

QStringList Texts(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* text : texts) list << QString::fromUtf8(text);
    return list;
}

class RowActionsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(config.Set(Setting::OutputDir, out.string()));
        window.create();
        window.dialogEnvironment() = desktop.Environment();
    }

    // Posts like a menu item does and lets the window handle it.
    void Post(MessageId message, std::any payload = {}) {
        window.post(static_cast<int>(message), std::move(payload));
        QCoreApplication::sendPostedEvents(&window);
    }
    QWidget* Control(const char* name) { return window.control(QString::fromLatin1(name)); }
    void Click(const char* name) { qobject_cast<QAbstractButton*>(Control(name))->click(); }
    std::vector<std::int32_t> Queued() {
        auto ids = window.session().videos().queue().RunningIds();
        for (auto id : window.session().videos().queue().WaitingIds()) ids.push_back(id);
        return ids;
    }
    bool Idle() { return Queued().empty(); }
    // Runs body once a modal Dialog is up; body must close it.
    template <class Dialog, class Body>
    void WhenModal(Body body) {
        auto* poll = new QTimer(&window);  // owned by the window, deleted below
        QObject::connect(poll, &QTimer::timeout, poll, [poll, body] {
            auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible()) return;
            poll->stop();
            poll->deleteLater();
            body(*dialog);
        });
        poll->start(10);
    }

    test::TempDir dir;
    fs::path out = dir / "out";
    ConfigStore config{dir / "configure.ini"};
    MainWindow window{config, FindEncoder()};
    test::DesktopRecorder desktop;
};

TEST_F(RowActionsTest, StartNoticesCheckAllAndCompressAllTwice) {
    dialogs::ScriptedBoxAnswers boxes;
    Click("all-compress");
    // The custom size is checked before the empty list, width before height.
    ui::SetChecked(Control("image-define-param"), true);
    Click("all-image-compress");
    ui::SetText(Control("image-width"), QStringLiteral(" 12 "));
    Click("all-image-compress");
    ui::SetText(Control("image-width"), QStringLiteral("1a2"));
    Click("all-image-compress");
    ui::SetText(Control("image-width"), QStringLiteral("12"));
    ui::SetText(Control("image-height"), QStringLiteral("8"));
    Click("all-image-compress");
    EXPECT_EQ(boxes.texts(), Texts({"请先添加要压缩的文件!", "请输入图片的宽度!",
                                    "请输入图片的高度!", "图片宽度必须为数字!", "请先添加文件!"}));

    const fs::path clip = test::MakeClip(dir / "a.mp4", 0.5);
    fs::copy_file(clip, dir / "b.mp4");
    fs::copy_file(clip, dir / "c.mp4");
    const auto a = window.Add(MediaKind::Video, clip);
    const auto b = window.Add(MediaKind::Video, dir / "b.mp4");
    const auto c = window.Add(MediaKind::Video, dir / "c.mp4");
    // The same file again, by another path: listed already.
    EXPECT_EQ(window.Add(MediaKind::Video, dir / "." / "a.mp4"), -1);
    // Check-all follows the master box both ways.
    ui::SetChecked(Control("videoCheckBoxAll"), false);
    EXPECT_TRUE(window.videoView().CheckedIds().empty());
    ui::SetChecked(Control("videoCheckBoxAll"), true);
    EXPECT_EQ(window.videoView().CheckedIds(), (std::vector{a, b, c}));
    qobject_cast<QAbstractButton*>(SubControl(window.videoView().Row(b), "videocheckBox"))->click();

    Click("all-compress");
    // While the batch runs the button stops it; compress-all again adds nothing.
    EXPECT_EQ(ui::Text(Control("all-compress")), QStringLiteral("停止全部"));
    window.CompressAll(MediaKind::Video);
    EXPECT_EQ(Queued(), (std::vector{a, c}));  // each once, in list order
    ASSERT_TRUE(QTest::qWaitFor([&] { return Idle(); }, 60000));
    EXPECT_EQ(boxes.texts().size(), 5);
    // Finished rows are unticked: another compress-all leaves them alone.
    EXPECT_TRUE(window.videoView().CheckedIds().empty());
    // A click selects a row and gives the list the keys: Delete takes the row;
    // "移除已完成" the other finished one.
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::mouseClick(SubControl(window.videoView().Row(a), "fileNameLabel"), Qt::LeftButton);
    EXPECT_EQ(window.videoView().SelectedIds(), (std::vector{a}));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    EXPECT_EQ(window.videoView().Row(a), nullptr);
    const auto actions = window.videoView().view().actions();
    ASSERT_EQ(actions.size(), 2);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("移除已完成"));
    actions[0]->trigger();
    EXPECT_EQ(window.videoView().RowCount(), 1);  // b never ran
    EXPECT_NE(window.videoView().Row(b), nullptr);
}

TEST_F(RowActionsTest, DeleteCancelsAWaitingTaskIsRefusedWhileRunningAndLeavesFilesAlone) {
    dialogs::ScriptedBoxAnswers boxes;
    const fs::path clip = test::MakeClip(dir / "a.mp4", 0.5);
    fs::copy_file(clip, dir / "b.mp4");
    const auto a = window.Add(MediaKind::Video, test::MakeClip(dir / "long.mp4", 3000.0, false));
    const auto waiting = window.Add(MediaKind::Video, clip);
    const auto b = window.Add(MediaKind::Video, dir / "b.mp4");
    window.CompressAll(MediaKind::Video);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return window.session().videos().queue().IsRunning(a); }, 30000));
    Post(MessageId::DeleteVideo, waiting);  // cancelled, then deleted
    Post(MessageId::DeleteVideo, a);        // running: refused
    EXPECT_EQ(boxes.texts(), Texts({"文件正在压缩中,不能删除!"}));
    EXPECT_EQ(window.videoView().RowCount(), 2);
    EXPECT_EQ(window.videoView().Row(waiting), nullptr);
    EXPECT_FALSE(window.session().KindOf(waiting));
    Post(MessageId::StopVideo, a);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Idle(); }, 60000));

    TaskParam own;
    own.taskId = b;
    Post(MessageId::ParametersSaved, own);
    Post(MessageId::DeleteVideo, b);
    EXPECT_EQ(window.videoView().RowCount(), 1);
    EXPECT_FALSE(window.session().videos().FindParameters(b));
    EXPECT_FALSE(window.session().videos().Find(b));
    EXPECT_TRUE(fs::exists(clip));
    // b's output; the stopped encode left nothing.
    EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 1);

    const fs::path picture = test::MakePicture(dir / "p.png", "40x30");
    const auto image = window.Add(MediaKind::Image, picture);
    Post(MessageId::DeleteImage, image);
    EXPECT_EQ(window.imageView().RowCount(), 0);
    EXPECT_TRUE(fs::exists(picture));
    EXPECT_EQ(boxes.texts().size(), 1);
}

// Four long clips queued at once: the first runs, the rest wait in order.
class BatchRowsTest : public RowActionsTest {
  protected:
    void SetUp() override {
        RowActionsTest::SetUp();
        const fs::path first = test::MakeClip(dir / "long0.mp4", 600.0, false);
        ids.push_back(window.Add(MediaKind::Video, first));
        for (const char* name : {"long1.mp4", "long2.mp4", "long3.mp4"}) {
            fs::copy_file(first, dir / name);
            ids.push_back(window.Add(MediaKind::Video, dir / name));
        }
        Click("all-compress");
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return window.session().videos().queue().IsRunning(ids[0]); }, 30000));
        QCoreApplication::processEvents();
    }
    QString RowText(std::int32_t id, const char* name) {
        return ui::Text(SubControl(window.videoView().Row(id), name));
    }
    void ClickRow(std::int32_t id, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(SubControl(window.videoView().Row(id), "fileNameLabel"), Qt::LeftButton,
                          modifiers);
    }
    TaskState State(std::int32_t id) { return window.session().Status(id).state; }

    std::vector<std::int32_t> ids;
};

TEST_F(BatchRowsTest, WaitingRowsShowTheirPlaceAndTheBatchBarPausesAndStopsAll) {
    for (std::size_t i = 1; i < ids.size(); ++i) {
        EXPECT_EQ(RowText(ids[i], "stateLabel"), QStringLiteral("等待中 (第 %1 个)").arg(i));
        EXPECT_EQ(RowText(ids[i], "compressBtn"), QStringLiteral("取消"));
    }
    EXPECT_EQ(RowText(ids[0], "compressBtn"), QStringLiteral("压缩中"));
    EXPECT_EQ(ui::Text(Control("all-compress")), QStringLiteral("停止全部"));
    EXPECT_FALSE(Control("video-pause")->isHidden());
    EXPECT_TRUE(ui::Text(Control("video-batch-line")).startsWith(QStringLiteral("0 / 4")));

    // The waiting row's own button takes it off the queue; the rest move up.
    qobject_cast<QAbstractButton*>(SubControl(window.videoView().Row(ids[1]), "compressBtn"))
        ->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(State(ids[1]), TaskState::Cancelled);
    EXPECT_EQ(RowText(ids[1], "stateLabel"), QStringLiteral("已取消"));
    EXPECT_EQ(RowText(ids[1], "compressBtn"), QStringLiteral("压 缩"));
    EXPECT_TRUE(SubControl(window.videoView().Row(ids[1]), "errorLabel")->isHidden());
    EXPECT_EQ(RowText(ids[2], "stateLabel"), QStringLiteral("等待中 (第 1 个)"));

    Click("video-pause");
    EXPECT_TRUE(window.session().Paused());
    EXPECT_EQ(ui::Text(Control("video-pause")), QStringLiteral("继续"));
    EXPECT_TRUE(ui::Text(Control("video-batch-line")).contains(QStringLiteral("已暂停")));
    Click("image-pause");  // the same batch from the other page
    EXPECT_FALSE(window.session().Paused());
    EXPECT_EQ(ui::Text(Control("video-pause")), QStringLiteral("暂停"));

    Click("all-compress");
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.session().Idle(); }, 30000));
    QCoreApplication::processEvents();
    EXPECT_EQ(State(ids[0]), TaskState::Stopped);
    EXPECT_EQ(RowText(ids[0], "stateLabel"), QStringLiteral("已停止"));
    for (const std::int32_t id : {ids[2], ids[3]}) {
        EXPECT_EQ(State(id), TaskState::Cancelled);
        EXPECT_EQ(RowText(id, "stateLabel"), QStringLiteral("已取消"));
    }
    EXPECT_EQ(ui::Text(Control("all-compress")), QStringLiteral("全部压缩"));
    EXPECT_TRUE(Control("video-pause")->isHidden());
    EXPECT_TRUE(Control("video-batch-line")->isHidden());
    EXPECT_FALSE(window.session().Paused());
    EXPECT_TRUE(!fs::exists(out) || fs::is_empty(out));
}

TEST_F(BatchRowsTest, SelectedRowsAreDeletedButTheRunningOneAndTheTabCounts) {
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(ui::Text(Control("compress-video")), QStringLiteral("视频压缩 (4)"));
    ClickRow(ids[1]);
    ClickRow(ids[3], Qt::ShiftModifier);
    EXPECT_EQ(window.videoView().SelectedIds(), (std::vector{ids[1], ids[2], ids[3]}));
    ClickRow(ids[2], Qt::ControlModifier);
    EXPECT_EQ(window.videoView().SelectedIds(), (std::vector{ids[1], ids[3]}));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(window.videoView().SelectedIds(), ids);

    // Delete: the waiting rows are cancelled and go; the running one stays, silently.
    dialogs::ScriptedBoxAnswers boxes;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    EXPECT_EQ(window.videoView().RowCount(), 1);
    EXPECT_NE(window.videoView().Row(ids[0]), nullptr);
    for (std::size_t i = 1; i < ids.size(); ++i) EXPECT_FALSE(window.session().KindOf(ids[i]));
    EXPECT_TRUE(boxes.texts().isEmpty());
    QCoreApplication::processEvents();
    EXPECT_EQ(ui::Text(Control("compress-video")), QStringLiteral("视频压缩 (1)"));

    // Clearing the list leaves the running row; the Delete key on it alone says why.
    Click("video-clear-list");
    EXPECT_EQ(window.videoView().RowCount(), 1);
    EXPECT_TRUE(boxes.texts().isEmpty());
    ClickRow(ids[0]);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    EXPECT_EQ(boxes.texts(), Texts({"文件正在压缩中,不能删除!"}));
    Click("all-compress");
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.session().Idle(); }, 30000));
    Click("video-clear-list");
    QCoreApplication::processEvents();
    EXPECT_EQ(window.videoView().RowCount(), 0);
    EXPECT_EQ(ui::Text(Control("compress-video")), QStringLiteral("视频压缩"));
    EXPECT_FALSE(Control("videoEmpty")->isHidden());
    EXPECT_TRUE(Control("videoList")->isHidden());
}

TEST_F(RowActionsTest, ParameterDialogDefaultsSaveReopenAndCancel) {
    const auto id = window.Add(MediaKind::Video, test::MakeClip(dir / "a.mp4", 0.5));
    const auto combo = [](QWidget& dialog, const char* name) {
        return dialog.findChild<QComboBox*>(QString::fromLatin1(name));
    };
    const auto checked = [](QWidget& dialog, const char* name) {
        return ui::IsChecked(dialog.findChild<QWidget*>(QString::fromLatin1(name)));
    };
    testing::internal::CaptureStdout();
    WhenModal<dialogs::ParamDialog>([&](dialogs::ParamDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("参数设置"));
        EXPECT_TRUE(checked(dialog, "compress-type-general"));
        EXPECT_TRUE(checked(dialog, "radio_mp4"));
        EXPECT_EQ(combo(dialog, "video-ratio")->currentIndex(), 0);
        EXPECT_EQ(combo(dialog, "audio-channel")->currentIndex(), 0);
        EXPECT_EQ(combo(dialog, "audio-sample-rate")->currentIndex(), 4);
        EXPECT_EQ(combo(dialog, "audio-bitrate")->currentIndex(), 1);
        ui::SetChecked(dialog.findChild<QWidget*>(QStringLiteral("radio_flv")), true);
        combo(dialog, "video-ratio")->setCurrentIndex(3);
        combo(dialog, "audio-sample-rate")->setCurrentIndex(5);
        dialog.findChild<QAbstractButton*>(QStringLiteral("save"))->click();
    });
    Post(MessageId::TaskParameters, id);
    QCoreApplication::sendPostedEvents(&window);
    const std::string log = testing::internal::GetCapturedStdout();

    const auto saved = window.session().videos().FindParameters(id);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->taskId, id);
    EXPECT_EQ(saved->videoType, 1);
    EXPECT_EQ(std::pair(saved->width, saved->height), std::pair(1024, 600));
    EXPECT_EQ(std::pair(saved->sampleRateIndex, saved->sampleRate), std::pair(5, 32000));
    EXPECT_TRUE(window.videoView().Reveal(id)->paramFlag->isVisibleTo(window.videoView().Row(id)));
    EXPECT_NE(log.find("unique_id: " + std::to_string(id) +
                       "\nbitrate: 128000\nbitrateIndex: 1\nchannel: 2\nchannelIndex: 0\n"
                       "compressType: 0\nheight: 600\nsampleRate: 32000\nsampleRateIndex: 5\n"),
              std::string::npos)
        << log;

    // Reopened: the saved rows; "恢复默认" then the close button drops them.
    WhenModal<dialogs::ParamDialog>([&](dialogs::ParamDialog& dialog) {
        EXPECT_EQ(combo(dialog, "audio-sample-rate")->currentIndex(), 5);
        EXPECT_TRUE(checked(dialog, "radio_flv"));
        dialog.findChild<QAbstractButton*>(QStringLiteral("cancel"))->click();
        EXPECT_EQ(combo(dialog, "audio-sample-rate")->currentIndex(), 4);
        EXPECT_TRUE(checked(dialog, "radio_mp4"));
        dialog.reject();
    });
    Post(MessageId::TaskParameters, id);
    QCoreApplication::sendPostedEvents(&window);
    EXPECT_FALSE(window.session().videos().FindParameters(id));
    EXPECT_FALSE(window.videoView().Reveal(id)->paramFlag->isVisibleTo(window.videoView().Row(id)));
}

TEST_F(RowActionsTest, SettingsDialogWritesAtOnceAndTestsTheFolder) {
    // root may write anywhere a mode allows; /proc refuses new files to everyone.
    const fs::path readOnly = geteuid() == 0 ? fs::path("/proc") : dir / "read-only";
    if (geteuid() != 0) {
        fs::create_directory(readOnly);
        ::chmod(readOnly.c_str(), 0555);
    }
    const fs::path writable = dir / "writable";
    fs::create_directory(writable);
    std::deque<fs::path> choices{readOnly, writable};
    window.rowActions().SetFolderChooser([&](QWidget*, const QString&) {
        auto next = choices.front();
        choices.pop_front();
        return std::optional(next);
    });
    WhenModal<dialogs::SettingsDialog>([&](dialogs::SettingsDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("系统设置"));
        auto* outputDir = dialog.findChild<QWidget*>(QStringLiteral("output-dir"));
        EXPECT_EQ(ui::Text(outputDir).toStdString(), out.string());
        EXPECT_TRUE(ui::IsChecked(dialog.findChild<QWidget*>(QStringLiteral("window-close-exit"))));
        auto* choose = dialog.findChild<QAbstractButton*>(QStringLiteral("choose-dir"));
        choose->click();
        EXPECT_EQ(ui::Text(outputDir).toStdString(), out.string());
        choose->click();
        EXPECT_EQ(ui::Text(outputDir).toStdString(), writable.string());
        auto* rate = dialog.findChild<QComboBox*>(QStringLiteral("audio-sample-rate"));
        EXPECT_EQ(rate->currentIndex(), 4);
        emit rate->activated(12);
        ui::SetChecked(dialog.findChild<QWidget*>(QStringLiteral("window-close-tray")), true);
        EXPECT_EQ(config.Get(Setting::WindowClose), 1);
        ui::SetChecked(dialog.findChild<QWidget*>(QStringLiteral("window-close-exit")), true);
        dialog.reject();
    });
    Click("seting");
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0].text, QStringLiteral("该目录没有写入权限!"));
    EXPECT_EQ(config.GetText(Setting::OutputDir), writable.string());
    EXPECT_EQ(ui::Text(Control("output-folder-path")).toStdString(), writable.string());
    EXPECT_TRUE(fs::is_empty(writable));
    if (geteuid() != 0) {
        EXPECT_TRUE(fs::is_empty(readOnly));
    }
    EXPECT_EQ(config.Get(Setting::AudioSampleRateIndex), 12);
    EXPECT_EQ(config.Get(Setting::AudioSampleRate), 7350);
    EXPECT_EQ(config.Get(Setting::WindowClose), 0);
}

TEST_F(RowActionsTest, ClosingMinimisesAsksWhileEncodingAndQuitSkipsTheSetting) {
    ASSERT_TRUE(config.Set(Setting::WindowClose, 1));
    window.show();
    window.close();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.windowState() & Qt::WindowMinimized);

    const fs::path clip = test::MakeClip(dir / "long.mp4", 3000.0, false);
    fs::copy_file(clip, dir / "long2.mp4");
    const auto stopped = window.Add(MediaKind::Video, clip);
    const auto id = window.Add(MediaKind::Video, dir / "long2.mp4");
    window.CompressAll(MediaKind::Video);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return window.session().videos().queue().IsRunning(stopped); }, 30000));
    // "停止压缩": the encode ends as stopped, its output goes, the next one starts.
    Post(MessageId::StopVideo, stopped);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return window.session().videos().queue().IsRunning(id); }, 30000));
    // Stopped is not a failure: the row says so quietly, ready to be started again.
    EXPECT_EQ(window.session().Status(stopped).state, TaskState::Stopped);
    QWidget* stoppedRow = window.videoView().Row(stopped);
    EXPECT_FALSE(SubControl(stoppedRow, "errorLabel")->isVisibleTo(stoppedRow));
    EXPECT_EQ(ui::Text(SubControl(stoppedRow, "stateLabel")), QStringLiteral("已停止"));
    EXPECT_EQ(ui::Text(SubControl(stoppedRow, "compressBtn")), QStringLiteral("压 缩"));
    // At most the running encode's output is there (it may take the freed name).
    EXPECT_LE(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 1);
    {
        dialogs::ScriptedBoxAnswers cancel({0});
        Post(MessageId::MenuQuit);
        EXPECT_EQ(cancel.texts(), Texts({"正在压缩中,确定要退出吗?"}));
        EXPECT_TRUE(window.isVisible());
        EXPECT_TRUE(window.session().videos().queue().IsRunning(id));
    }
    dialogs::ScriptedBoxAnswers confirm({1});
    Post(MessageId::MenuQuit);
    EXPECT_EQ(confirm.texts().size(), 1);
    EXPECT_FALSE(window.isVisible());
    // The stopped encode left nothing behind.
    EXPECT_TRUE(!fs::exists(out) || fs::is_empty(out));
}

TEST_F(RowActionsTest, StoppingAnImageEndsItsJobAndLeavesNothing) {
    // 48 million pixels: seconds of work, enough to be stopped halfway.
    const fs::path huge = dir / "huge.png";
    ASSERT_EQ(test::RunProgram({"ffmpeg", "-v", "error", "-f", "lavfi", "-i",
                                "color=c=0x336699:s=8000x6000", "-frames:v", "1", huge.string()}),
              0);
    const auto id = window.Add(MediaKind::Image, huge);
    window.CompressAll(MediaKind::Image);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return window.session().images().queue().IsRunning(id); }, 30000));

    const QRect screen = window.screen()->availableGeometry();
    QMenu* menu = OpenRowMenu(window, {id, false, true, screen.center()});
    QAction* stop = nullptr;
    for (QAction* action : menu->actions()) {
        if (action->isVisible() && action->text() == QStringLiteral("停止压缩")) stop = action;
    }
    ASSERT_NE(stop, nullptr);
    stop->trigger();
    menu->close();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !window.session().images().queue().IsRunning(id); }, 10000));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return window.session().Status(id).state == TaskState::Stopped; }));
    // Not shown as a failure: the row is idle again.
    QWidget* row = window.imageView().Row(id);
    EXPECT_EQ(ui::Text(SubControl(row, "progress-label")), QString());
    EXPECT_EQ(ui::Text(SubControl(row, "imageCompressBtn")), QStringLiteral("压 缩"));
    EXPECT_TRUE(!fs::exists(out) || fs::is_empty(out));
}

TEST_F(RowActionsTest, MenusCarryTheirItemsAndOpenInsideTheWorkArea) {
    const QRect area(0, 0, 800, 600);
    const QSize size(150, 120);
    for (const QPoint point : {QPoint(799, 599), QPoint(5, 5), QPoint(400, 300)}) {
        for (const MenuSide side : {MenuSide::LeftOfPoint, MenuSide::RightOfPoint}) {
            const QRect placed(MenuTopLeft(size, point, area, side), size);
            EXPECT_TRUE(area.contains(placed)) << point.x() << "," << point.y();
        }
    }
    EXPECT_EQ(MenuTopLeft(size, {400, 300}, area, MenuSide::LeftOfPoint), QPoint(250, 300));
    EXPECT_EQ(MenuTopLeft(size, {400, 590}, area, MenuSide::RightOfPoint), QPoint(400, 470));

    const auto id = window.Add(MediaKind::Video, test::MakeClip(dir / "a.mp4", 0.5));
    QWidget* row = window.videoView().Row(id);
    const QRect screen = window.screen()->availableGeometry();
    QMenu* menu = OpenRowMenu(window, {id, true, false, screen.bottomRight()});
    QStringList texts;
    for (QAction* action : menu->actions()) {
        if (action->isVisible() && !action->isSeparator()) texts << action->text();
    }
    EXPECT_EQ(texts, Texts({"参数设置", "打开输出文件夹", "重新压缩", "删除"}));
    EXPECT_TRUE(screen.contains(menu->geometry()));
    // An item posts its message with the task id: here, delete.
    dialogs::ScriptedBoxAnswers boxes;
    menu->actions().last()->trigger();
    menu->close();
    QCoreApplication::sendPostedEvents(&window);
    EXPECT_EQ(window.videoView().Row(id), nullptr);
    (void)row;

    QMenu* tray = OpenTrayMenu(window, screen.bottomRight());
    texts.clear();
    for (QAction* action : tray->actions()) {
        if (!action->isSeparator()) texts << action->text();
    }
    EXPECT_EQ(texts, Texts({"显示主界面", "系统设置", "意见反馈", "检查更新", "帮助", "退出"}));
    EXPECT_TRUE(screen.contains(tray->geometry()));
    tray->close();
    Click("help");
    ASSERT_EQ(desktop.opened.size(), 1u);
    EXPECT_TRUE(desktop.opened[0].path().endsWith(QStringLiteral("/help")));
    Post(MessageId::OpenVideoFolder, id);
    ASSERT_EQ(desktop.opened.size(), 2u);
    EXPECT_EQ(desktop.opened[1].toLocalFile().toStdString(), out.string());
}

// Without xdg-open or a file manager, opening a folder or the help page says so,
// naming the folder or page and what is missing, instead of doing nothing.
TEST_F(RowActionsTest, WithNothingToOpenFoldersABoxNamesTheFolderAndWhatIsMissing) {
    desktop.openSucceeds = false;
    const auto id = window.Add(MediaKind::Video, test::MakeClip(dir / "a.mp4", 0.5));
    Post(MessageId::OpenVideoFolder, id);
    Post(MessageId::OpenImageFolder, id);
    Click("help");
    ASSERT_EQ(desktop.boxes.size(), 3u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_FALSE(desktop.boxes[i].asked);
        EXPECT_EQ(desktop.boxes[i].owner, &window);
        EXPECT_TRUE(desktop.boxes[i].text.contains(QString::fromStdString(out.string())))
            << desktop.boxes[i].text.toStdString();
        EXPECT_TRUE(desktop.boxes[i].text.contains(QStringLiteral("xdg-open")));
        EXPECT_TRUE(desktop.boxes[i].text.contains(QStringLiteral("文件管理器")));
    }
    EXPECT_TRUE(desktop.boxes[2].text.contains(QStringLiteral("/help")));
    EXPECT_TRUE(desktop.boxes[2].text.contains(QStringLiteral("xdg-open")));

    // The same from the settings dialog's "open-dir".
    WhenModal<dialogs::SettingsDialog>([&](dialogs::SettingsDialog& dialog) {
        dialog.findChild<QAbstractButton*>(QStringLiteral("open-dir"))->click();
        dialog.reject();
    });
    Click("seting");
    ASSERT_EQ(desktop.boxes.size(), 4u);
    EXPECT_TRUE(desktop.boxes[3].text.contains(QString::fromStdString(out.string())));

    // With an opener, nothing is said.
    desktop.openSucceeds = true;
    Post(MessageId::OpenVideoFolder, id);
    EXPECT_EQ(desktop.boxes.size(), 4u);
}

// The second page's switches: keep the original when the result is not smaller,
// and take in sub-folders when adding a folder; written at once, shown on reopening.
TEST_F(RowActionsTest, SettingsDialogSwitchesKeepTheOriginalAndSubFolders) {
    EXPECT_EQ(config.GetValid(Setting::KeepOriginalIfLarger), 1);
    EXPECT_EQ(config.GetValid(Setting::IncludeSubfolders), 0);
    WhenModal<dialogs::SettingsDialog>([&](dialogs::SettingsDialog& dialog) {
        auto* keep = dialog.findChild<QAbstractButton*>(QStringLiteral("keep-original-if-larger"));
        auto* subfolders = dialog.findChild<QAbstractButton*>(QStringLiteral("include-subfolders"));
        ASSERT_NE(keep, nullptr);
        ASSERT_NE(subfolders, nullptr);
        // Both on the second page, next to each other.
        QWidget* page = dialog.findChild<QWidget*>(QStringLiteral("otherPage"));
        EXPECT_TRUE(page->isAncestorOf(keep));
        EXPECT_TRUE(page->isAncestorOf(subfolders));
        EXPECT_TRUE(keep->isChecked());
        EXPECT_FALSE(subfolders->isChecked());
        keep->click();
        subfolders->click();
        EXPECT_EQ(config.Get(Setting::KeepOriginalIfLarger), 0);
        EXPECT_EQ(config.Get(Setting::IncludeSubfolders), 1);
        dialog.reject();
    });
    Click("seting");
    EXPECT_EQ(config.Get(Setting::KeepOriginalIfLarger), 0);
    WhenModal<dialogs::SettingsDialog>([&](dialogs::SettingsDialog& dialog) {
        auto* keep = dialog.findChild<QAbstractButton*>(QStringLiteral("keep-original-if-larger"));
        auto* subfolders = dialog.findChild<QAbstractButton*>(QStringLiteral("include-subfolders"));
        EXPECT_FALSE(keep->isChecked());
        EXPECT_TRUE(subfolders->isChecked());
        keep->click();
        dialog.reject();
    });
    Click("seting");
    EXPECT_EQ(config.Get(Setting::KeepOriginalIfLarger), 1);
    EXPECT_EQ(config.Get(Setting::IncludeSubfolders), 1);
}

}  // namespace
}  // namespace brisklo::app
