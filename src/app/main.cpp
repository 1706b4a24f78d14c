// SPDX-License-Identifier: GPL-3.0-or-later
#include <glog/logging.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QStringList>
#include <QThread>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "app/accessibility.h"
#include "app/file_adding.h"
#include "app/main_window.h"
#include "app/single_instance.h"
#include "batch/engine_start.h"
#include "core/config_store.h"
#include "core/file_utils.h"
#include "core/log.h"
#include "ui/app_identity.h"
#include "ui/skin.h"
#include "ui/translations.h"
#include "video/encoder_locator.h"

namespace {

constexpr int kUpgradeCheckDelayMs = 3000;

enum class StartRole { Running, HandedOver, NoAnswer };

// A later start: hands its paths to the running copy. While that copy is alive but
// busy, or going away, it keeps trying, and takes over once the copy is gone;
// when nothing answers, a box says so.
StartRole HandOverOrAcquire(brisklo::app::SingleInstance& instance, const QStringList& paths) {
    using namespace std::chrono_literals;
    const QDeadlineTimer deadline(20s);
    while (!deadline.hasExpired()) {
        if (instance.HandOver(paths, 1500ms)) return StartRole::HandedOver;
        if (instance.Acquire()) return StartRole::Running;
        if (!instance.HolderAlive()) QThread::msleep(50);
    }
    std::fprintf(stderr, "brisklo: another copy is running but did not answer\n");
    QMessageBox::warning(nullptr, QStringLiteral("Brisklo"),
                         QCoreApplication::translate(
                             "SingleInstance", "BRK视频压缩已在运行, 但没有回应, 文件未能加入。"));
    return StartRole::NoAnswer;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("brisklo %s\n", BRISKLO_VERSION);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::printf(
            "Usage: brisklo [--verbose] [FILE|FOLDER...]\n\nOpens the main window; the files "
            "given, and the videos and images of the folders given, are added to their list. "
            "When Brisklo already runs, its window comes to the front and takes them.\n\n"
            "The log goes to %s; --verbose prints it on standard output instead.\n",
            brisklo::DesktopLogFile().c_str());
        return 0;
    }
    // The installer download reports its failures through glog; they go to
    // standard error, no log files are written.
    FLAGS_logtostderr = true;
    google::InitGoogleLogging(argv[0]);

    // Before the application exists, so that every accessible interface is ours.
    brisklo::app::InstallAccessibility();
    QApplication app(argc, argv);
    // One copy per user: a later start hands its files and folders to the running
    // copy, which brings its window to the front.
    QStringList paths;
    bool verbose = false;
    for (const QString& argument : app.arguments().mid(1)) {
        if (argument == QLatin1String("--verbose")) {
            verbose = true;
        } else {
            paths << QFileInfo(argument).absoluteFilePath();
        }
    }
    // Nothing on standard output unless asked for: the log has its own file.
    if (verbose) {
        brisklo::SetLogTarget(brisklo::LogTarget::StandardOutput);
    } else if (!brisklo::SetLogFile(brisklo::DesktopLogFile())) {
        brisklo::SetLogTarget(brisklo::LogTarget::Silent);
    }
    brisklo::app::SingleInstance instance;
    const StartRole role =
        instance.Acquire() ? StartRole::Running : HandOverOrAcquire(instance, paths);
    if (role == StartRole::HandedOver) return 0;
    if (role == StartRole::NoAnswer) return 1;
    brisklo::PrepareEngine("desktop");
    QApplication::setApplicationName(QStringLiteral("Brisklo"));
    QApplication::setApplicationVersion(QStringLiteral(BRISKLO_VERSION));
    // The desktop entry's name lets Wayland compositors pair the window with it.
    QApplication::setDesktopFileName(brisklo::ui::AppId());
    QApplication::setWindowIcon(brisklo::ui::AppIcon());
    // The user's language (LANGUAGE, LC_ALL, LC_MESSAGES, LANG): Chinese needs none
    // of the program's, a language without a translation gets English; Qt's own
    // texts (file choosers, standard buttons) follow.
    brisklo::ui::InstallTranslation(app, QLocale::system().uiLanguages());
    // Without its skin the program has no windows: say where it was looked for.
    if (const auto skin = brisklo::ui::FindSkinFolder(QCoreApplication::applicationDirPath());
        !skin) {
        std::fprintf(stderr, "brisklo: %s\n", skin.error().message.c_str());
        return 1;
    }
    brisklo::ui::ApplyStyleSheet(app);

    brisklo::app::MainWindow window(brisklo::ConfigStore::Instance(), brisklo::FindEncoder());
    try {
        window.create();
    } catch (const brisklo::ui::SkinError& error) {
        std::fprintf(stderr, "brisklo: %s\n", error.what());
        return 1;
    }
    // Files named on the command line go to the list of their kind; a folder adds
    // its videos and images.
    const auto addPaths = [&window](const QStringList& list) {
        window.adding().AddPaths(brisklo::app::ToPaths(list));
    };
    addPaths(paths);
    QObject::connect(&instance, &brisklo::app::SingleInstance::Activated, &window,
                     [&window, addPaths](const QStringList& list) {
                         addPaths(list);
                         brisklo::app::BringToFront(&window);
                     });
    instance.StartDelivering();
    // Closing the main window ends the program. A start from then on opens a
    // window of its own rather than handing its files to one that is going.
    QObject::connect(&window, &QDialog::finished, &app, [&instance] {
        instance.Release();
        QCoreApplication::quit();
    });
    window.show();
    // Quiet: only a newer version is worth a word at start-up. A few seconds on,
    // so that the window is up before the network library is.
    QTimer::singleShot(kUpgradeCheckDelayMs, &window,
                       [&window] { window.StartUpgradeCheck(/*quiet=*/true); });
    return app.exec();
}
