// SPDX-License-Identifier: GPL-3.0-or-later
// Shows the main window running a real batch of videos (stopped, kept original,
// running, waiting, cancelled, with the batch bar), then image rows in every
// state, and saves a screenshot of the window for each. Run under Xvfb by
// scripts/screenshot-video-rows.
#include <QApplication>
#include <QLocale>
#include <QTest>
#include <cstdio>

#include "app/image_list_view.h"
#include "app/main_window.h"
#include "app/row_actions.h"
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
#include "video/encoder_locator.h"

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
    (void)config.Set(brisklo::Setting::OutputDir, (dir / "out").string());
    (void)config.Set(brisklo::Setting::ServiceUrl, "http://127.0.0.1:9");
    brisklo::app::MainWindow window(config, brisklo::FindEncoder());
    window.create();
    window.resize(960, 640);
    window.move(0, 0);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return 1;

    // A real batch: the first is stopped, the second does not shrink and keeps its
    // original, the third runs, the rest wait and one of them is cancelled.
    struct Clip {
        const char* name;
        double seconds;
    };
    const Clip clips[] = {
        {"家庭聚会 2026-05-01.mp4", 3000},
        {"tiny.mp4", 1},
        {"holiday clip (final).mov", 3000},
        {"a very long name of a screen recording made on a long afternoon.mkv", 2},
        {"phone clip.mp4", 2},
        {"drone.mp4", 2}};
    std::vector<std::int32_t> ids;
    for (const Clip& clip : clips) {
        ids.push_back(
            window.Add(MediaKind::Video,
                       brisklo::test::MakeClip(dir / clip.name, clip.seconds, clip.seconds < 10)));
    }
    auto& session = window.session();
    const auto state = [&](std::size_t i) { return session.Status(ids[i]).state; };
    window.CompressAll(MediaKind::Video);
    if (!QTest::qWaitFor([&] { return state(0) == brisklo::TaskState::Running; }, 30000)) return 1;
    QTest::qWait(300);
    window.rowActions().Stop(ids[0]);
    if (!QTest::qWaitFor([&] { return state(2) == brisklo::TaskState::Running; }, 60000)) return 1;
    window.rowActions().Stop(ids[4]);  // waiting: cancelled
    QTest::qWait(2500);                // progress and the batch line come in
    if (!window.grab().save(QString::fromLocal8Bit(argv[1]))) return 1;
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
    const bool saved = window.grab().save(QString::fromLocal8Bit(argv[2]));
    session.StopAll();
    return saved ? 0 : 1;
}
