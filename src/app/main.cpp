// SPDX-License-Identifier: GPL-3.0-or-later
#include <glog/logging.h>

#include <QApplication>
#include <QFileInfo>
#include <QLocale>
#include <QStringList>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "app/file_adding.h"
#include "app/main_window.h"
#include "app/single_instance.h"
#include "batch/engine_start.h"
#include "core/config_store.h"
#include "ui/app_identity.h"
#include "ui/skin.h"
#include "ui/translations.h"
#include "video/encoder_locator.h"

int main(int argc, char* argv[]) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("brisklo %s\n", BRISKLO_VERSION);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::printf(
            "Usage: brisklo [FILE|FOLDER...]\n\nOpens the main window; the files given, and the "
            "videos and images of the folders given, are added to their list. When Brisklo "
            "already runs, its window comes to the front and takes them.\n");
        return 0;
    }
    // The installer download reports its failures through glog; they go to
    // standard error, no log files are written.
    FLAGS_logtostderr = true;
    google::InitGoogleLogging(argv[0]);

    QApplication app(argc, argv);
    // One copy per user: a later start hands its files and folders to the running
    // copy, which brings its window to the front.
    QStringList paths;
    for (const QString& argument : app.arguments().mid(1)) {
        paths << QFileInfo(argument).absoluteFilePath();
    }
    brisklo::app::SingleInstance instance;
    if (!instance.Acquire()) {
        if (!instance.HandOver(paths, std::chrono::milliseconds(900))) {
            std::fprintf(stderr, "brisklo: another copy is running but did not answer\n");
        }
        return 0;
    }
    brisklo::PrepareEngine("desktop");
    QApplication::setApplicationName(QStringLiteral("Brisklo"));
    QApplication::setApplicationVersion(QStringLiteral(BRISKLO_VERSION));
    // The desktop entry's name lets Wayland compositors pair the window with it.
    QApplication::setDesktopFileName(brisklo::ui::AppId());
    QApplication::setWindowIcon(brisklo::ui::AppIcon());
    // The user's language (LANGUAGE, LC_ALL, LC_MESSAGES, LANG); Chinese needs none.
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
        window.adding().AddPaths(brisklo::app::ToPaths(list), brisklo::MediaKind::Video);
    };
    addPaths(paths);
    QObject::connect(&instance, &brisklo::app::SingleInstance::Activated, &window,
                     [&window, addPaths](const QStringList& list) {
                         addPaths(list);
                         brisklo::app::BringToFront(&window);
                     });
    // Closing the main window ends the program.
    QObject::connect(&window, &QDialog::finished, &app, &QCoreApplication::quit);
    window.show();
    // Quiet: only a newer version is worth a word at start-up.
    window.StartUpgradeCheck(/*quiet=*/true);
    return app.exec();
}
