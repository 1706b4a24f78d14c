#include <glog/logging.h>

#include <QApplication>
#include <QLocale>
#include <QStringList>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "app/main_window.h"
#include "core/config_store.h"
#include "core/media_kinds.h"
#include "core/temp_area.h"
#include "image/magick_runtime.h"
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
            "Usage: brisklo [FILE...]\n\nOpens the main window; the files given are "
            "added to the video or image list.\n");
        return 0;
    }
    // The installer download reports its failures through glog; they go to
    // standard error, no log files are written.
    FLAGS_logtostderr = true;
    google::InitGoogleLogging(argv[0]);

    // A file-size limit (ulimit -f) makes a write fail with EFBIG, like a full disk,
    // instead of killing the program; a closed pipe is a write error too.
    signal(SIGXFSZ, SIG_IGN);
    signal(SIGPIPE, SIG_IGN);
    // What an earlier run killed outright left behind; never a live run's files.
    brisklo::SetRunName("desktop");
    brisklo::CleanLeftovers(brisklo::TemporaryRoot(), brisklo::ConfigStore::Instance().path());
    // Coders load before any job can run (their first use is not thread-safe).
    brisklo::InitializeImageLibrary();

    QApplication app(argc, argv);
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
    // Files named on the command line are added to the list of their kind.
    const QStringList files = app.arguments().mid(1);
    for (const QString& file : files) {
        const std::string path = file.toStdString();
        const bool image = brisklo::KindByExtension(path) == brisklo::MediaKind::Image;
        if ((image ? window.AddImage(path) : window.AddVideo(path)) < 0) {
            std::fprintf(stderr, "brisklo: cannot read %s\n", qPrintable(file));
        }
    }
    // Closing the main window ends the program.
    QObject::connect(&window, &QDialog::finished, &app, &QCoreApplication::quit);
    window.show();
    // Quiet: only a newer version is worth a word at start-up.
    window.StartUpgradeCheck(/*quiet=*/true);
    return app.exec();
}
