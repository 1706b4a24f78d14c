// SPDX-License-Identifier: GPL-3.0-or-later
// The main window with a large list, offscreen: how long a folder of COUNT
// videos takes to show as rows, a tab switch idle and while a batch runs, the
// memory with all rows, and how long quitting takes with the batch running.
//   cmake --build build --target brisklo_window_bench
//   build/bench/brisklo_window_bench [COUNT]
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/file_adding.h"
#include "app/main_window.h"
#include "app/video_list_view.h"
#include "batch/batch_session.h"
#include "core/config_store.h"
#include "dialogs/message_boxes.h"
#include "ui/skin.h"
#include "video/encoder_locator.h"

namespace fs = std::filesystem;
using brisklo::MediaKind;

namespace {

long ResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
        status.ignore(1 << 10, '\n');
    }
    return -1;
}

// Milliseconds from a click on the tab button until the page is laid out and painted.
double TabSwitchMs(brisklo::app::MainWindow& window, const char* tab) {
    QElapsedTimer clock;
    clock.start();
    window.control<QAbstractButton>(QString::fromLatin1(tab))->click();
    QCoreApplication::sendPostedEvents();
    window.repaint();
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

// The slowest of ten switches there and back.
double SlowestSwitchMs(brisklo::app::MainWindow& window) {
    double slowest = 0;
    for (int i = 0; i < 10; ++i) {
        slowest = std::max(slowest, TabSwitchMs(window, "compress-image"));
        slowest = std::max(slowest, TabSwitchMs(window, "compress-video"));
        QTest::qWait(20);
    }
    return slowest;
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    brisklo::ui::ApplyStyleSheet(app);
    const int count = argc > 1 ? std::stoi(argv[1]) : 10000;
    const fs::path dir = fs::temp_directory_path() / "brisklo-window-bench";
    fs::remove_all(dir);
    fs::create_directories(dir / "clips");
    const fs::path clip = dir / "clip.mp4";
    const QStringList make = {
        QStringLiteral("-v"), QStringLiteral("error"),
        QStringLiteral("-f"), QStringLiteral("lavfi"),
        QStringLiteral("-i"), QStringLiteral("testsrc2=size=1280x720:rate=25"),
        QStringLiteral("-t"), QStringLiteral("20"),
        QStringLiteral("-y"), QString::fromStdString(clip.string())};
    if (QProcess::execute(QStringLiteral("ffmpeg"), make) != 0) return 1;
    // Links, not copies: ten thousand names cost no disk.
    for (int i = 0; i < count; ++i) {
        fs::create_hard_link(clip, dir / "clips" / ("clip" + std::to_string(i) + ".mp4"));
    }

    brisklo::ConfigStore config(dir / "configure.ini");
    (void)config.Set(brisklo::Setting::ServiceUrl, "http://127.0.0.1:9");
    (void)config.Set(brisklo::Setting::OutputDir, (dir / "out").string());
    const long residentBefore = ResidentKiB();
    auto window = std::make_unique<brisklo::app::MainWindow>(config, brisklo::FindEncoder());
    window->create();
    window->show();
    (void)QTest::qWaitForWindowExposed(window.get());

    QElapsedTimer clock;
    clock.start();
    window->adding().AddPaths({dir / "clips"});
    if (!QTest::qWaitFor([&] { return !window->adding().Busy(); }, 600000)) return 1;
    QCoreApplication::sendPostedEvents();
    window->repaint();
    const double shownMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    const int rows = window->videoView().RowCount();
    QTest::qWait(200);
    const long residentRows = ResidentKiB();
    const double idleSwitch = SlowestSwitchMs(*window);

    window->CompressAll(MediaKind::Video);
    QTest::qWait(1500);  // the first encode is under way
    const double busySwitch = SlowestSwitchMs(*window);
    const long residentBusy = ResidentKiB();
    const bool running = !window->session().Idle();

    // Quitting while encoding, the question answered "yes": the window goes,
    // stopping the encode and the workers.
    clock.restart();
    {
        brisklo::dialogs::ScriptedBoxAnswers confirm({1});
        window->close();
        window.reset();
    }
    const double quitMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;

    std::printf("rows %d (of %d files)\n", rows, count);
    std::printf("added and shown: %.0f ms\n", shownMs);
    std::printf("tab switch, slowest of 20: idle %.1f ms, batch running (%s) %.1f ms\n", idleSwitch,
                running ? "yes" : "no", busySwitch);
    std::printf(
        "resident: %ld KiB before the window, %ld KiB with the rows, %ld KiB while "
        "encoding\n",
        residentBefore, residentRows, residentBusy);
    std::printf("quit with the batch running: %.0f ms\n", quitMs);
    fs::remove_all(dir);
    return 0;
}
