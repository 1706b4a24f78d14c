// SPDX-License-Identifier: GPL-3.0-or-later
// Shows the main window with video rows in every state (waiting, running,
// finished with a saving, finished larger than the source, failed) and saves a
// screenshot of the screen. Run under Xvfb by scripts/screenshot-video-rows.
#include <QApplication>
#include <QLocale>
#include <QScreen>
#include <QTest>
#include <cstdio>

#include "app/image_list_view.h"
#include "app/main_window.h"
#include "app/video_list_view.h"
#include "batch/batch_session.h"
#include "core/config_store.h"
#include "core/file_utils.h"
#include "core/media_kinds.h"
#include "core/saving.h"
#include "core/video_task.h"
#include "test_support.h"
#include "ui/controls.h"
#include "ui/skin.h"
#include "ui/translations.h"

namespace {
using brisklo::FailureCode;
using brisklo::MediaKind;

// A finished task as the completion reports it.
brisklo::TaskOutcome Measured(const char* output, std::int64_t source, std::int64_t size) {
    brisklo::TaskOutcome outcome;
    outcome.state =
        size < source ? brisklo::OutcomeState::Smaller : brisklo::OutcomeState::NotSmaller;
    outcome.outputPath = output;
    outcome.sourceSize = source;
    outcome.outputSize = size;
    outcome.saving = brisklo::ComputeSaving(source, size);
    return outcome;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    brisklo::ui::InstallTranslation(app, QLocale::system().uiLanguages());
    if (argc < 2) {
        std::fprintf(stderr, "usage: row_states_screenshot OUTPUT.png\n");
        return 2;
    }
    brisklo::ui::ApplyStyleSheet(app);
    brisklo::test::TempDir dir;
    brisklo::ConfigStore config(dir / "configure.ini");
    brisklo::app::MainWindow window(config, "ffmpeg");
    window.create();

    const char* names[] = {"家庭聚会 2026-05-01.mp4", "holiday clip (final).mov",
                           "a very long name of a screen recording made on a long afternoon.mkv",
                           "tiny.mp4", "broken upload.avi"};
    std::vector<std::int32_t> ids;
    for (const char* name : names) {
        const auto clip = brisklo::test::MakeClip(dir / name, 2.0);
        ids.push_back(window.Add(MediaKind::Video, clip));
    }
    auto& view = window.videoView();
    view.ShowState(ids[0], brisklo::TaskState::Waiting);
    view.ShowRunning(ids[1]);
    view.ShowProgress(ids[1], 42, 3.5f);
    view.ShowParameterFlag(ids[1], true);
    view.ShowRunning(ids[2]);
    view.ShowFinished(ids[2], Measured("/out/x.mkv", 100 << 10, 25 << 10));
    view.ShowRunning(ids[3]);
    view.ShowFinished(ids[3], Measured("/out/tiny.mp4", 100 << 10, 120 << 10));
    view.ShowRunning(ids[4]);
    view.ShowFailed(ids[4], {FailureCode::EncoderFailed,
                             "the conversion failed: Invalid data found when processing input"});

    window.resize(960, 640);
    window.move(0, 0);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return 1;
    QTest::qWait(500);
    if (!window.screen()->grabWindow(0).save(QString::fromLocal8Bit(argv[1]))) return 1;
    if (argc < 3) return 0;

    // The image page, with rows waiting, running, finished and failed.
    std::vector<std::int32_t> images;
    for (const char* name :
         {"猫.png", "holiday photo.jpg", "scan.bmp", "party.gif", "broken.png"}) {
        images.push_back(
            window.Add(MediaKind::Image, brisklo::test::MakePicture(dir / name, "320x240")));
    }
    auto& imageView = window.imageView();
    imageView.ShowState(images[0], brisklo::TaskState::Waiting);
    imageView.ShowRunning(images[1]);
    imageView.ShowFinished(images[2], Measured("/out/scan.bmp", 888 << 10, 52 << 10));
    imageView.ShowFinished(images[3], Measured("/out/party.gif", 63 << 10, 66 << 10));
    imageView.ShowFailed(
        images[4], {FailureCode::ImageFailed, "broken.png: not a JPEG, PNG, BMP or GIF image"});
    // The tab button switches the page, as a click does.
    brisklo::ui::SetChecked(window.control(QStringLiteral("compress-image")), true);
    QTest::qWait(500);
    return window.screen()->grabWindow(0).save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
