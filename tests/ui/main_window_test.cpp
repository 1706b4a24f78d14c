// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_window.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QSlider>
#include <QTest>
#include <QUrl>
#include <algorithm>
#include <csignal>

#include "app/accessibility.h"
#include "app/file_adding.h"
#include "app/image_list_view.h"
#include "app/single_instance.h"
#include "app/video_list_view.h"
#include "batch/batch_session.h"
#include "core/config_store.h"
#include "core/file_utils.h"
#include "core/media_kinds.h"
#include "core/messages.h"
#include "core/video_task.h"
#include "dialog_test_support.h"
#include "row_test_support.h"
#include "test_support.h"
#include "ui/controls.h"
#include "video/encoder_locator.h"

namespace brisklo::app {
namespace {
namespace fs = std::filesystem;
using test::Sub;
using test::SubControl;
using test::TempDir;

// Answers the choosers as a user would, one answer per opening.
class AnsweringChoosers : public FileChoosers {
  public:
    std::vector<fs::path> files;
    std::optional<fs::path> folder;
    std::vector<MediaKind> asked;
    std::vector<fs::path> ChooseFiles(QWidget*, MediaKind kind) override {
        asked.push_back(kind);
        return files;
    }
    std::optional<fs::path> ChooseFolder(QWidget*, MediaKind kind) override {
        asked.push_back(kind);
        return folder;
    }
};

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(config.Set(Setting::OutputDir, out.string()));
        // Start-up's upgrade check is not the main window's; it stays off the network.
        ASSERT_TRUE(config.Set(Setting::ServiceUrl, "http://127.0.0.1:9"));
        // The encode is looked at as it came out, even when it is not smaller.
        ASSERT_TRUE(config.Set(Setting::KeepOriginalIfLarger, 0));
    }

    std::unique_ptr<MainWindow> Open() {
        auto window = std::make_unique<MainWindow>(config, FindEncoder());
        window->create();
        auto answering = std::make_unique<AnsweringChoosers>();
        choosers = answering.get();
        window->adding().SetChoosers(std::move(answering));
        return window;
    }

    static bool Checked(const MainWindow& w, const char* name) {
        return ui::IsChecked(w.control(QString::fromLatin1(name)));
    }
    static void Click(const MainWindow& w, const char* name) {
        w.control<QAbstractButton>(QString::fromLatin1(name))->click();
    }
    // A user's choice in a combo: the index changes and the combo says it was chosen.
    static void Choose(const MainWindow& w, const char* name, int index) {
        auto* combo = w.control<QComboBox>(QString::fromLatin1(name));
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    // Rows are added a slice at a time between events: waits for the last.
    static bool Added(MainWindow& w) {
        return QTest::qWaitFor([&] { return !w.adding().Busy(); }, 10000);
    }
    int Stored(Setting setting) const { return config.Get(setting); }

    // For the real program: its own private runtime and data folders, offscreen,
    // its upgrade check off the network.
    QProcessEnvironment ProgramEnvironment() const {
        fs::create_directories(runtime);
        ::chmod(runtime.c_str(), 0700);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(runtime.string()));
        env.insert(QStringLiteral("XDG_DATA_HOME"),
                   QString::fromStdString((dir / "data").string()));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        test::WriteFile(dir / "data" / "Brisklo" / "Config" / "configure.ini",
                        "[global]\nservice-url=http://127.0.0.1:9\n");
        return env;
    }

    TempDir dir;
    fs::path out = dir / "out";
    ConfigStore config{dir / "configure.ini"};
    AnsweringChoosers* choosers = nullptr;
    const QString program = QStringLiteral(BRISKLO_APP_PATH);
    fs::path runtime = dir / "runtime";
};

TEST_F(MainWindowTest, OptionsLoadFromTheSettingsAndAreWrittenTheMomentTheyChange) {
    {
        // A first start: the stored defaults (0) select the first option of each group.
        auto w = Open();
        EXPECT_TRUE(Checked(*w, "compress-type-general"));
        EXPECT_TRUE(Checked(*w, "radio-mp4"));
        EXPECT_TRUE(Checked(*w, "image-compress-type-general"));
        EXPECT_TRUE(Checked(*w, "image-format-original"));
        EXPECT_FALSE(Checked(*w, "image-define-param"));
        EXPECT_FALSE(Checked(*w, "gif-define-param"));
        EXPECT_EQ(ui::CurrentIndex(w->control(QStringLiteral("video-ratio"))), 0);

        Click(*w, "compress-type-deep");
        EXPECT_EQ(Stored(Setting::CompressType), 1);
        Click(*w, "radio-mkv");
        EXPECT_EQ(Stored(Setting::VideoType), 3);
        Choose(*w, "video-ratio", 3);
        EXPECT_EQ(Stored(Setting::VideoRatioIndex), 3);
        EXPECT_EQ(Stored(Setting::VideoRatioWidth), 1024);
        EXPECT_EQ(Stored(Setting::VideoRatioHeight), 600);
        Click(*w, "image-compress-type-limit");
        Click(*w, "image-format-jpg");
        Click(*w, "gif-define-param");
        Choose(*w, "gif-drop-frame", 4);
        Choose(*w, "image-ratio", 5);
        EXPECT_EQ(Stored(Setting::ImageCompressType), 2);
        EXPECT_EQ(Stored(Setting::ImageType), 1);
        EXPECT_EQ(Stored(Setting::GifDefineParam), 1);
        EXPECT_EQ(Stored(Setting::GifDropFrameIndex), 4);
        EXPECT_EQ(Stored(Setting::ImageRatioIndex), 5);
        Click(*w, "gif-define-param");
        EXPECT_EQ(Stored(Setting::GifDefineParam), 0);
    }
    {
        // The next start shows what was chosen.
        auto w = Open();
        EXPECT_TRUE(Checked(*w, "compress-type-deep"));
        EXPECT_FALSE(Checked(*w, "compress-type-general"));
        EXPECT_TRUE(Checked(*w, "radio-mkv"));
        EXPECT_EQ(ui::CurrentIndex(w->control(QStringLiteral("video-ratio"))), 3);
        EXPECT_TRUE(Checked(*w, "image-compress-type-limit"));
        EXPECT_TRUE(Checked(*w, "image-format-jpg"));
        EXPECT_FALSE(Checked(*w, "gif-define-param"));
        EXPECT_EQ(ui::CurrentIndex(w->control(QStringLiteral("gif-drop-frame"))), 4);
        EXPECT_EQ(ui::CurrentIndex(w->control(QStringLiteral("image-ratio"))), 5);
    }
    // Values out of range, as another copy of the file may hold them, select nothing.
    ASSERT_TRUE(config.Set(Setting::CompressType, 7));
    ASSERT_TRUE(config.Set(Setting::VideoType, -1));
    ASSERT_TRUE(config.Set(Setting::ImageType, 2));
    ASSERT_TRUE(config.Set(Setting::VideoRatioIndex, 13));
    auto w = Open();
    for (const char* name :
         {"compress-type-general", "compress-type-deep", "compress-type-limit", "radio-mp4",
          "radio-flv", "radio-mov", "radio-mkv", "image-format-original", "image-format-jpg"}) {
        EXPECT_FALSE(Checked(*w, name)) << name;
    }
    EXPECT_EQ(ui::CurrentIndex(w->control(QStringLiteral("video-ratio"))), -1);
    // Loading wrote nothing back.
    EXPECT_EQ(Stored(Setting::CompressType), 7);
}

TEST_F(MainWindowTest, SliderLabelTabButtonsKeysAndAccessibleNames) {
    auto w = Open();
    auto* slider = w->control<QSlider>(QStringLiteral("video-compress-slider"));
    const auto label = [&] { return ui::Text(w->control(QStringLiteral("video-compress-label"))); };
    slider->setRange(0, 51);
    slider->setValue(28);  // 28 / 51 = 54.9 %
    EXPECT_EQ(label(), QStringLiteral("54%"));
    slider->setValue(51);
    EXPECT_EQ(label(), QStringLiteral("100%"));
    slider->setRange(18, 51);
    slider->setValue(18);
    EXPECT_EQ(label(), QStringLiteral("0%"));

    QWidget* tab = w->control(QStringLiteral("main-tab"));
    Click(*w, "compress-image");
    EXPECT_EQ(ui::CurrentIndex(tab), 1);
    Click(*w, "compress-video");
    EXPECT_EQ(ui::CurrentIndex(tab), 0);

    w->show();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    QTest::keyClick(w.get(), Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(ui::CurrentIndex(tab), 1);
    EXPECT_TRUE(Checked(*w, "compress-image"));
    // Ctrl+O opens the file chooser of the page shown.
    QTest::keyClick(w.get(), Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(w.get(), Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(ui::CurrentIndex(tab), 0);
    QTest::keyClick(w.get(), Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(choosers->asked, (std::vector<MediaKind>{MediaKind::Image, MediaKind::Video}));

    const fs::path clip = test::MakeClip(dir / "a.mp4", 1.0);
    QWidget* row = w->videoView().Row(w->Add(MediaKind::Video, clip));
    // Each row's controls name their file for assistive tools.
    EXPECT_EQ(SubControl(row, "videoMenuBtn")->accessibleName(),
              QStringLiteral("a.mp4 的更多操作"));
    EXPECT_EQ(SubControl(row, "videocheckBox")->accessibleName(), QStringLiteral("选择 a.mp4"));
    QAccessibleInterface* add =
        QAccessible::queryAccessibleInterface(w->control(QStringLiteral("add-video-file")));
    EXPECT_EQ(add->text(QAccessible::Name), QStringLiteral("添加文件"));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("BRK视频压缩"));
}

// Names of the controls as assistive tools read them, the window's role, the
// open menus among the application's children, and the order Tab takes.
TEST_F(MainWindowTest, ScreenReadersFindNamesMenusAndATabOrderThatReadsTheWindow) {
    InstallAccessibility();
    auto w = Open();
    const auto name = [&](const char* control) {
        return QAccessible::queryAccessibleInterface(w->control(QString::fromLatin1(control)))
            ->text(QAccessible::Name);
    };
    EXPECT_EQ(QAccessible::queryAccessibleInterface(w.get())->role(), QAccessible::Window);
    EXPECT_EQ(name("video-compress-slider"), QStringLiteral("压缩强度"));
    EXPECT_EQ(name("image-width"), QStringLiteral("图片宽度"));
    EXPECT_EQ(name("image-height"), QStringLiteral("图片高度"));

    w->show();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    QWidget* row =
        w->videoView().Row(w->Add(MediaKind::Video, test::MakeClip(dir / "m8.mp4", 0.5)));
    ASSERT_NE(row, nullptr);
    QWidget* check = SubControl(row, "videocheckBox");
    QWidget* more = SubControl(row, "videoMenuBtn");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(check)->text(QAccessible::Name),
              QStringLiteral("选择 m8.mp4"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(more)->text(QAccessible::Name),
              QStringLiteral("m8.mp4 的更多操作"));

    // An open row menu is a child of the application, a menu of named items.
    qobject_cast<QAbstractButton*>(more)->click();
    QMenu* menu = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        return menu != nullptr;
    }));
    QAccessibleInterface* application = QAccessible::queryAccessibleInterface(qApp);
    QAccessibleInterface* menuInterface = nullptr;
    for (int i = 0; i < application->childCount(); ++i) {
        if (application->child(i)->object() == menu) menuInterface = application->child(i);
    }
    ASSERT_NE(menuInterface, nullptr);
    EXPECT_EQ(application->indexOfChild(menuInterface), application->childCount() - 1);
    EXPECT_EQ(menuInterface->role(), QAccessible::PopupMenu);
    QStringList items;
    for (int i = 0; i < menuInterface->childCount(); ++i) {
        if (menuInterface->child(i)->role() == QAccessible::MenuItem &&
            !menuInterface->child(i)->state().invisible) {
            items << menuInterface->child(i)->text(QAccessible::Name);
        }
    }
    EXPECT_EQ(items, (QStringList{QStringLiteral("参数设置"), QStringLiteral("打开输出文件夹"),
                                  QStringLiteral("重新压缩"), QStringLiteral("删除")}));
    menu->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activePopupWidget() == nullptr; }));

    // Tab from the first tab goes through the options, the list and its row, the
    // bottom bar, then the quiet buttons, and never stops on a control out of sight.
    // (A group of option buttons is one stop, at its checked button, as everywhere
    // in Qt: the tabs, and each option group.)
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->videoView().view().isVisible(); }));
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    w->control(QStringLiteral("compress-video"))->setFocus();
    QStringList order;
    for (int i = 0; i < 60 && order.count(QStringLiteral("compress-video")) < 2; ++i) {
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        EXPECT_TRUE(focused->isVisible()) << focused->objectName().toStdString();
        order << focused->objectName();
        QTest::keyClick(focused, Qt::Key_Tab);
    }
    const auto at = [&](const char* control) {
        return order.indexOf(QString::fromLatin1(control));
    };
    SCOPED_TRACE(order.join(u' ').toStdString());
    EXPECT_EQ(at("compress-video"), 0);
    EXPECT_EQ(at("compress-type-general"), 1);
    EXPECT_LT(at("compress-type-general"), at("video-compress-check"));
    EXPECT_LT(at("video-compress-check"), at("taskRows"));
    EXPECT_LT(at("taskRows"), at("videocheckBox"));
    EXPECT_LT(at("videocheckBox"), at("videoMenuBtn"));
    EXPECT_LT(at("videoMenuBtn"), at("add-video-file"));
    EXPECT_LT(at("add-video-file"), at("all-compress"));
    EXPECT_LT(at("all-compress"), at("seting"));
    EXPECT_LT(at("seting"), at("help"));
    EXPECT_EQ(at("compress-type-general") > 0 && at("help") > 0, true);
}

// A failed row says why in the user's words, with the engine's detail below.
TEST_F(MainWindowTest, AFailedRowSaysWhyShortlyWithTheDetailInItsTooltip) {
    auto w = Open();
    const fs::path clip = test::MakeClip(dir / "gone.mp4", 0.5);
    const auto video = w->Add(MediaKind::Video, clip);
    test::WriteFile(dir / "note.png", "not a picture");
    const auto image = w->Add(MediaKind::Image, dir / "note.png");
    ASSERT_GE(image, 0);
    w->videoView().ShowFailed(video, {FailureCode::SourceMissing, "gone.mp4: No such file"});
    w->imageView().ShowFailed(image,
                              {FailureCode::Unsupported, "note.png: its content is not a JPEG"});
    QWidget* videoRow = w->videoView().Row(video);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return test::Sub(videoRow, "errorLabel") == QStringLiteral("源文件不存在");
    })) << test::Sub(videoRow, "errorLabel").toStdString();
    EXPECT_FALSE(SubControl(videoRow, "errorLabel")->isHidden());
    EXPECT_EQ(SubControl(videoRow, "errorLabel")->toolTip(),
              QStringLiteral("源文件不存在\ngone.mp4: No such file"));
    QWidget* imageRow = w->imageView().Row(image);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return test::Sub(imageRow, "progress-label") == QStringLiteral("不支持的文件"); }));
    EXPECT_TRUE(SubControl(imageRow, "progress-label")
                    ->toolTip()
                    .endsWith(QStringLiteral("\nnote.png: its content is not a JPEG")));
}

TEST_F(MainWindowTest, ChoosersFoldersDropsAndHugeFilesAddRows) {
    auto w = Open();
    // Three files in the dialog's order get consecutive ids, checked.
    for (const char* name : {"c.mp4", "a.mp4", "b.mp4"}) {
        choosers->files.push_back(test::MakeClip(dir / name, 1.0));
    }
    Click(*w, "add-video-file");
    ASSERT_TRUE(Added(*w));
    ASSERT_EQ(w->videoView().RowCount(), 3);
    std::int32_t firstId = ui::Tag(w->videoView().RowAt(0));
    for (int i = 0; i < 3; ++i) {
        QWidget* row = w->videoView().RowAt(i);
        EXPECT_EQ(ui::Tag(row), firstId + i);
        EXPECT_EQ(row->objectName(), QStringLiteral("item-%1").arg(firstId + i));
        EXPECT_EQ(Sub(row, "fileNameLabel"),
                  QString::fromStdString(choosers->files[i].filename().string()));
        EXPECT_TRUE(ui::IsChecked(SubControl(row, "videocheckBox")));
    }
    // Durations come from a thread of their own.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return Sub(w->videoView().RowAt(2), "durationLabel") == QStringLiteral("00:00:01"); },
        10000));
    EXPECT_TRUE(w->control(QStringLiteral("videoEmpty"))->isHidden());

    // A folder adds its files of the kind, the extension in any letter case.
    const fs::path folder = dir / "folder";
    fs::create_directories(folder / "sub.mp4");
    for (const char* name : {"a.MP4", "b.Mp4", "c.mkv", "readme.txt"})
        test::WriteFile(folder / name, "x");
    test::WriteFile(folder / "sub.mp4" / "inner.mp4", "x");
    choosers->folder = folder;
    Click(*w, "add-video-dir");
    ASSERT_TRUE(Added(*w));
    ASSERT_EQ(w->videoView().RowCount(), 6);
    EXPECT_EQ(Sub(w->videoView().RowAt(3), "fileNameLabel"), QStringLiteral("a.MP4"));
    EXPECT_EQ(Sub(w->videoView().RowAt(4), "fileNameLabel"), QStringLiteral("b.Mp4"));
    EXPECT_EQ(Sub(w->videoView().RowAt(5), "fileNameLabel"), QStringLiteral("c.mkv"));
    choosers->folder.reset();
    Click(*w, "add-video-dir");  // cancelled
    EXPECT_EQ(w->videoView().RowCount(), 6);

    // An image added next takes the next id of the one counter.
    const fs::path picture = test::MakePicture(dir / "p.png", "32x24");
    choosers->files = {picture};
    Click(*w, "add-image-file");
    ASSERT_TRUE(Added(*w));
    ASSERT_EQ(w->imageView().RowCount(), 1);
    EXPECT_EQ(ui::Tag(w->imageView().RowAt(0)), firstId + 6);

    // A 5,000,000,000-byte file shows its true size (sparse: no disk is used).
    const fs::path huge = dir / "huge.mp4";
    test::WriteFile(huge, "");
    fs::resize_file(huge, 5'000'000'000);
    choosers->files = {huge};
    Click(*w, "add-video-file-info");
    ASSERT_TRUE(Added(*w));
    EXPECT_EQ(Sub(w->videoView().RowAt(6), "fileSizeLabel"), QStringLiteral("4.66G"));

    // A drop of a folder and a picture on the video page: each file to its own
    // list, the picture listed already not a second time.
    const fs::path mixed = dir / "mixed";
    fs::create_directories(mixed);
    test::WriteFile(mixed / "x.avi", "x");
    test::MakePicture(mixed / "y.jpg", "32x24");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(mixed.string())),
                  QUrl::fromLocalFile(QString::fromStdString(picture.string()))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w.get(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    ASSERT_TRUE(Added(*w));
    ASSERT_EQ(w->videoView().RowCount(), 8);
    EXPECT_EQ(Sub(w->videoView().RowAt(7), "fileNameLabel"), QStringLiteral("x.avi"));
    ASSERT_EQ(w->imageView().RowCount(), 2);
    EXPECT_EQ(Sub(w->imageView().RowAt(1), "fileNameLabel"), QStringLiteral("y.jpg"));
}

TEST_F(MainWindowTest, AddsSayWhatTheyDidAndSubFoldersKeepTheirPlaceInTheOutput) {
    // No file manager on the bus: a finished row opens its output's folder instead.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
    auto w = Open();
    test::DesktopRecorder desktop;
    w->dialogEnvironment() = desktop.Environment();
    const fs::path photos = dir / "photos";
    for (const char* sub : {"2024/trips", ".thumbnails"}) fs::create_directories(photos / sub);
    test::MakePicture(photos / "a.jpg", "64x48");
    test::MakePicture(photos / "2024" / "b.png", "64x48");
    test::MakePicture(photos / "2024" / "trips" / "c.jpg", "64x48");
    test::MakePicture(photos / ".thumbnails" / "t.jpg", "16x16");
    test::WriteFile(photos / "notes.txt", "not a picture\n");

    w->adding().AddPaths({photos});
    ASSERT_TRUE(Added(*w));
    EXPECT_EQ(w->imageView().RowCount(), 1);
    EXPECT_FALSE(w->control(QStringLiteral("add-notice"))->isHidden());
    EXPECT_EQ(ui::Text(w->control(QStringLiteral("add-notice-text"))),
              QStringLiteral("已添加 1 张图片到“图片压缩”。跳过 1 个不支持的文件，1 个子文件夹。"));
    // The notice's box brings the sub-folders after all, and from now on.
    auto* subfolders = w->control<QAbstractButton>(QStringLiteral("add-notice-subfolders"));
    ASSERT_FALSE(subfolders->isHidden());
    subfolders->click();
    ASSERT_TRUE(Added(*w));
    EXPECT_EQ(w->imageView().RowCount(), 3);
    EXPECT_EQ(Stored(Setting::IncludeSubfolders), 1);
    EXPECT_EQ(ui::Text(w->control(QStringLiteral("add-notice-text"))),
              QStringLiteral("已添加 2 张图片到“图片压缩”。"));

    // The same folder again adds nothing twice.
    w->adding().AddPaths({photos});
    ASSERT_TRUE(Added(*w));
    EXPECT_EQ(w->imageView().RowCount(), 3);
    EXPECT_EQ(ui::Text(w->control(QStringLiteral("add-notice-text"))),
              QStringLiteral("没有添加文件。跳过 1 个不支持的文件，3 个已在列表中的文件。"));
    QCoreApplication::processEvents();
    EXPECT_EQ(ui::Text(w->control(QStringLiteral("compress-image"))),
              QStringLiteral("图片压缩 (3)"));

    w->CompressAll(MediaKind::Image);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->session().Idle(); }, 60000));
    for (const fs::path& output :
         {out / "a.jpg", out / "2024" / "b.png", out / "2024" / "trips" / "c.jpg"}) {
        EXPECT_TRUE(fs::exists(output)) << output;
    }
    const std::int32_t deepest = w->imageView().IdAt(2);
    QWidget* row = w->imageView().Row(deepest);
    ASSERT_EQ(Sub(row, "imageCompressBtn"), QStringLiteral("压缩完成"));
    qobject_cast<QAbstractButton*>(SubControl(row, "imageCompressBtn"))->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !desktop.opened.empty(); }, 5000));
    EXPECT_EQ(desktop.opened.back().toLocalFile().toStdString(), (out / "2024" / "trips").string());
    // "打开输出文件夹" opens where the row's file went.
    w->post(static_cast<int>(MessageId::OpenImageFolder), w->imageView().IdAt(1));
    QCoreApplication::sendPostedEvents(w.get());
    EXPECT_EQ(desktop.opened.back().toLocalFile().toStdString(), (out / "2024").string());
}

TEST_F(MainWindowTest, TheEncodeUsesTheOptionsTheWindowShows) {
    // The file says MKV at 1024 x 600; the window shows it, then the user picks MOV
    // at 320 x 240.
    ASSERT_TRUE(config.Set(Setting::VideoType, 3));
    ASSERT_TRUE(config.Set(Setting::VideoRatioIndex, 3));
    ASSERT_TRUE(config.Set(Setting::VideoRatioWidth, 1024));
    ASSERT_TRUE(config.Set(Setting::VideoRatioHeight, 600));
    auto w = Open();
    EXPECT_TRUE(Checked(*w, "radio-mkv"));
    Click(*w, "radio-mov");
    Choose(*w, "video-ratio", 12);
    const auto id = w->Add(MediaKind::Video, test::MakeClip(dir / "clip.mp4", 1.0));
    w->Compress(id);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return w->session().videos().OutputPath(id).has_value() &&
                   w->session().videos().queue().RunningIds().empty();
        },
        60000));
    const fs::path output = w->session().videos().OutputPath(id).value();
    EXPECT_EQ(output.extension(), ".mov");
    std::string size;
    ASSERT_EQ(test::RunProgram({"ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries",
                                "stream=width,height", "-of", "csv=p=0", output.string()},
                               &size),
              0);
    EXPECT_EQ(size.substr(0, size.find_first_of("\r\n")), "320,240");
}

TEST_F(MainWindowTest, ParameterMessagesKeepOneRecordPerTask) {
    auto w = Open();
    const auto id = w->Add(MediaKind::Video, test::MakeClip(dir / "a.mp4", 1.0));
    QWidget* flag = SubControl(w->videoView().Row(id), "paramFlag");
    TaskParam param;
    param.taskId = id;
    testing::internal::CaptureStdout();
    w->post(static_cast<int>(MessageId::ParametersSaved), param);
    param.videoType = 3;
    w->post(static_cast<int>(MessageId::ParametersSaved), param);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return w->session().videos().ParameterCount() == 1 && !flag->isHidden(); }));
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_EQ(log, "paramList.size: 1\nparamList.size: 1\n");
    EXPECT_EQ(w->session().videos().FindParameters(id)->videoType, 3);
    w->post(static_cast<int>(MessageId::ParametersRemoved), id);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return w->session().videos().ParameterCount() == 0 && flag->isHidden(); }));
}

// The real program started a second time hands its arguments to the first copy
// and ends; a lock left by a killed copy does not block the next start.
TEST_F(MainWindowTest, SecondStartHandsOverAndAKilledCopyLeavesNoBlockingLock) {
    const QProcessEnvironment env = ProgramEnvironment();

    {
        // A first copy killed outright.
        QProcess first;
        first.setProcessEnvironment(env);
        first.start(program, {});
        ASSERT_TRUE(first.waitForStarted());
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return fs::exists(runtime / "BriskloProcessMutex.socket"); }, 20000));
        ::kill(static_cast<pid_t>(first.processId()), SIGKILL);
        ASSERT_TRUE(first.waitForFinished());
    }
    SingleInstance instance(QString::fromStdString(runtime.string()));
    ASSERT_TRUE(instance.Acquire());

    auto w = Open();
    QObject::connect(&instance, &SingleInstance::Activated, w.get(), [&](const QStringList& list) {
        w->adding().AddPaths(ToPaths(list));
        BringToFront(w.get());
    });
    instance.StartDelivering();
    const fs::path folder = dir / "given";
    fs::create_directories(folder);
    test::MakePicture(folder / "z.png", "32x24");
    QProcess second;
    second.setProcessEnvironment(env);
    second.setWorkingDirectory(QString::fromStdString(dir.path().string()));
    second.start(program, {QStringLiteral("given")});  // relative to its own folder
    ASSERT_TRUE(QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 20000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->imageView().RowCount() == 1; }, 5000));
    EXPECT_EQ(Sub(w->imageView().RowAt(0), "fileNameLabel"), QStringLiteral("z.png"));
    EXPECT_TRUE(w->isVisible());
    // Still the one copy: another instance object cannot take the lock.
    SingleInstance other(QString::fromStdString(runtime.string()));
    EXPECT_FALSE(other.Acquire());
}

// A file manager that starts one copy per file: one becomes the running copy
// and takes every other start's file, although its window is still being built
// when they ask.
TEST_F(MainWindowTest, FiveStartsAtOnceAllHaveTheirFilesTaken) {
    const QProcessEnvironment env = ProgramEnvironment();
    std::vector<fs::path> pictures;
    for (int i = 0; i < 5; ++i) {
        pictures.push_back(test::MakePicture(dir / ("s" + std::to_string(i) + ".png"), "32x24"));
    }
    std::vector<std::unique_ptr<QProcess>> starts;
    for (const fs::path& picture : pictures) {
        starts.push_back(std::make_unique<QProcess>());
        starts.back()->setProcessEnvironment(env);
        starts.back()->start(program, {QString::fromStdString(picture.string())});
    }
    const auto ended = [&] {
        return std::count_if(starts.begin(), starts.end(), [](const auto& start) {
            return start->state() == QProcess::NotRunning;
        });
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return ended() == 4; }, 60000)) << ended() << " ended";
    const fs::path log = dir / "data" / "Brisklo" / "Log" / "brisklo.log";
    const auto handedOver = [&](const fs::path& picture) {
        return fs::exists(log) && test::ReadFile(log).find(picture.string()) != std::string::npos;
    };
    for (std::size_t i = 0; i < starts.size(); ++i) {
        if (starts[i]->state() != QProcess::NotRunning) continue;
        EXPECT_EQ(starts[i]->exitCode(), 0) << starts[i]->readAllStandardError().toStdString();
        EXPECT_TRUE(QTest::qWaitFor([&] { return handedOver(pictures[i]); }, 10000))
            << pictures[i] << " was not handed over";
    }
    for (const auto& start : starts) {
        if (start->state() == QProcess::NotRunning) continue;
        ::kill(static_cast<pid_t>(start->processId()), SIGKILL);
        start->waitForFinished();
    }
}

// Closing the window gives up the lock and the socket before the slower
// shutdown, so a start in that moment opens a window of its own with its file.
TEST_F(MainWindowTest, AStartWhileTheOldCopyShutsDownBecomesTheRunningCopy) {
    const QProcessEnvironment env = ProgramEnvironment();
    const QString folder = QString::fromStdString(runtime.string());
    SingleInstance old(folder);
    ASSERT_TRUE(old.Acquire());
    old.Release();  // what the closing window does first
    QProcess next;
    next.setProcessEnvironment(env);
    next.start(program,
               {QString::fromStdString(test::MakePicture(dir / "n.png", "32x24").string())});
    ASSERT_TRUE(next.waitForStarted());
    SingleInstance probe(folder);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return fs::exists(runtime / "BriskloProcessMutex.socket") && probe.HolderAlive(); },
        20000));
    QTest::qWait(1000);
    EXPECT_EQ(next.state(), QProcess::Running) << next.readAllStandardError().toStdString();
    ::kill(static_cast<pid_t>(next.processId()), SIGKILL);
    next.waitForFinished();
}

// Without XDG_RUNTIME_DIR (su, ssh) the lock and the socket go into a private
// folder of the user's cache, never into the shared temp folder.
TEST_F(MainWindowTest, WithoutARuntimeFolderNothingGoesIntoTheSharedTempFolder) {
    QProcessEnvironment env = ProgramEnvironment();
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    const fs::path tmp = dir / "tmp";
    const fs::path cache = dir / "cache";
    fs::create_directories(tmp);
    env.insert(QStringLiteral("TMPDIR"), QString::fromStdString(tmp.string()));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), QString::fromStdString(cache.string()));
    QProcess copy;
    copy.setProcessEnvironment(env);
    copy.start(program, {});
    ASSERT_TRUE(copy.waitForStarted());
    const fs::path folder = cache / "Brisklo" / "runtime";
    const bool listening =
        QTest::qWaitFor([&] { return fs::exists(folder / "BriskloProcessMutex.socket"); }, 20000);
    ::kill(static_cast<pid_t>(copy.processId()), SIGKILL);
    ASSERT_TRUE(copy.waitForFinished());
    ASSERT_TRUE(listening);
    // The temp folder holds only the program's own temporary area, no lock or socket.
    for (const auto& entry : fs::recursive_directory_iterator(tmp)) {
        EXPECT_EQ(entry.path().filename().string().find("BriskloProcessMutex"), std::string::npos)
            << entry.path();
    }
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
}

// Opened by a file manager ("brisklo a.jpeg" handed over to the running copy): a
// picture goes to the images whatever its name, a clip to the videos, and a file
// that is neither is refused.
TEST_F(MainWindowTest, OpenedFilesGoToTheListTheirContentSays) {
    const QProcessEnvironment env = ProgramEnvironment();
    SingleInstance instance(QString::fromStdString(runtime.string()));
    ASSERT_TRUE(instance.Acquire());
    auto w = Open();
    QObject::connect(&instance, &SingleInstance::Activated, w.get(),
                     [&](const QStringList& list) { w->adding().AddPaths(ToPaths(list)); });
    instance.StartDelivering();
    const fs::path jpeg = test::MakePicture(dir / "photo.jpg", "32x24");
    fs::copy_file(jpeg, dir / "a.jpeg");
    fs::copy_file(jpeg, dir / "b.JPE");
    fs::copy_file(test::MakePicture(dir / "p.png", "32x24"), dir / "x.mp4");
    test::WriteFile(dir / "y.jpg", "a note\n");
    test::MakeClip(dir / "clip.mkv", 0.5);

    QProcess second;
    second.setProcessEnvironment(env);
    second.start(program, {QString::fromStdString((dir / "a.jpeg").string()),
                           QString::fromStdString((dir / "b.JPE").string()),
                           QString::fromStdString((dir / "x.mp4").string()),
                           QString::fromStdString((dir / "y.jpg").string()),
                           QString::fromStdString((dir / "clip.mkv").string())});
    ASSERT_TRUE(QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 20000));
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->videoView().RowCount() == 1; }, 10000));
    ASSERT_TRUE(Added(*w));
    ASSERT_EQ(w->imageView().RowCount(), 3);
    EXPECT_EQ(Sub(w->imageView().RowAt(0), "fileNameLabel"), QStringLiteral("a.jpeg"));
    EXPECT_EQ(Sub(w->imageView().RowAt(1), "fileNameLabel"), QStringLiteral("b.JPE"));
    EXPECT_EQ(Sub(w->imageView().RowAt(2), "fileNameLabel"), QStringLiteral("x.mp4"));
    EXPECT_EQ(Sub(w->videoView().RowAt(0), "fileNameLabel"), QStringLiteral("clip.mkv"));
}

// The desktop program says nothing on standard output: its log goes to its file,
// or with --verbose to standard output.
TEST_F(MainWindowTest, TheProgramLogsIntoItsFileUnlessVerbose) {
    const QProcessEnvironment env = ProgramEnvironment();
    const fs::path log = dir / "data" / "Brisklo" / "Log" / "brisklo.log";
    const auto logged = [&] { return test::ReadFile(log).find("curl code") != std::string::npos; };
    for (const bool verbose : {false, true}) {
        QProcess copy;
        copy.setProcessEnvironment(env);
        copy.start(program, verbose ? QStringList{QStringLiteral("--verbose")} : QStringList{});
        ASSERT_TRUE(copy.waitForStarted());
        QByteArray printed;
        // The start-up upgrade check fails at once against a closed port, and says so.
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                printed += copy.readAllStandardOutput();
                return verbose ? printed.contains("curl code") : fs::exists(log) && logged();
            },
            20000))
            << printed.toStdString();
        ::kill(static_cast<pid_t>(copy.processId()), SIGKILL);
        ASSERT_TRUE(copy.waitForFinished());
        printed += copy.readAllStandardOutput();
        if (!verbose) {
            EXPECT_EQ(printed.toStdString(), "");
        }
    }
}

}  // namespace
}  // namespace brisklo::app
