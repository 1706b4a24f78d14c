// SPDX-License-Identifier: GPL-3.0-or-later
// Adding a folder of many videos to the main window: how long the add blocks the
// UI thread, the longest pause of the event loop while the durations come in,
// and when the last duration is shown.
//   cmake --build build --target brisklo_add_files_bench
//   QT_QPA_PLATFORM=offscreen build/bench/brisklo_add_files_bench [COUNT]
#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/file_adding.h"
#include "app/main_window.h"
#include "app/task_row.h"
#include "app/video_list_view.h"
#include "core/config_store.h"
#include "ui/controls.h"
#include "ui/skin.h"
#include "video/encoder_locator.h"

namespace fs = std::filesystem;

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    brisklo::ui::ApplyStyleSheet(app);
    const int count = argc > 1 ? std::stoi(argv[1]) : 1000;
    const fs::path dir = fs::temp_directory_path() / "brisklo-add-files-bench";
    fs::remove_all(dir);
    fs::create_directories(dir / "clips");
    const fs::path clip = dir / "clip.mp4";
    const QStringList make = {QStringLiteral("-v"), QStringLiteral("error"),
                              QStringLiteral("-f"), QStringLiteral("lavfi"),
                              QStringLiteral("-i"), QStringLiteral("testsrc2=size=320x240:rate=25"),
                              QStringLiteral("-t"), QStringLiteral("1"),
                              QStringLiteral("-y"), QString::fromStdString(clip.string())};
    if (QProcess::execute(QStringLiteral("ffmpeg"), make) != 0) return 1;
    for (int i = 0; i < count; ++i) {
        fs::copy_file(clip, dir / "clips" / ("clip" + std::to_string(i) + ".mp4"));
    }

    brisklo::ConfigStore config(dir / "configure.ini");
    (void)config.Set(brisklo::Setting::ServiceUrl, "http://127.0.0.1:9");
    brisklo::app::MainWindow window(config, brisklo::FindEncoder());
    window.create();
    window.show();

    QElapsedTimer clock;
    clock.start();
    window.adding().AddPaths({dir / "clips"}, brisklo::MediaKind::Video);
    const qint64 addMs = clock.elapsed();  // the first slice, before the window runs again
    qint64 rowsMs = -1;

    // The longest gap between two ticks of a 5 ms timer while durations arrive.
    qint64 last = clock.elapsed();
    qint64 longest = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last);
        last = now;
        const auto& view = window.videoView();
        if (window.adding().Busy() || view.RowCount() == 0) return;
        if (rowsMs < 0) rowsMs = clock.elapsed();
        QWidget* lastRow = view.RowAt(view.RowCount() - 1);
        if (!brisklo::ui::Text(
                 brisklo::ui::FindSubControl(lastRow, QStringLiteral("durationLabel")))
                 .isEmpty()) {
            app.quit();
        }
    });
    tick.start(5);
    app.exec();
    std::printf(
        "%d files: the add call returns after %lld ms, all rows at %lld ms (%.2f ms a "
        "row), last duration at %lld ms, longest event-loop pause meanwhile %lld ms\n",
        count, static_cast<long long>(addMs), static_cast<long long>(rowsMs),
        static_cast<double>(rowsMs) / count, static_cast<long long>(clock.elapsed()),
        static_cast<long long>(longest));
    fs::remove_all(dir);
    return 0;
}
