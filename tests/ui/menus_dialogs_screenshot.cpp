// SPDX-License-Identifier: GPL-3.0-or-later
// Opens the settings and parameter dialogs, a video row's menu, the tray menu and
// the main window with its output-folder strip, and saves a picture of each into
// the folder given. Run under Xvfb by scripts/screenshot-menus-dialogs.
#include <QApplication>
#include <QMenu>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "app/main_window.h"
#include "app/row_actions.h"
#include "app/row_menus.h"
#include "app/video_list_view.h"
#include "batch/batch_session.h"
#include "core/config_store.h"
#include "core/media_kinds.h"
#include "core/video_task.h"
#include "dialogs/param_dialog.h"
#include "dialogs/settings_dialog.h"
#include "test_support.h"
#include "ui/skin.h"
#include "video/encoder_locator.h"

namespace {
using brisklo::FailureCode;
using brisklo::MediaKind;

bool Save(QWidget& widget, const QString& file) {
    QTest::qWait(200);
    const bool saved = widget.grab().save(file);
    std::printf("%s %s\n", saved ? "saved" : "could not save", qPrintable(file));
    return saved;
}

// Grabs the modal dialog that opens next, then closes it.
void GrabNextModal(QObject* context, const QString& file, bool& saved) {
    QTimer::singleShot(300, context, [file, &saved] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog) return;
        saved = Save(*dialog, file);
        qobject_cast<QDialog*>(dialog)->reject();
    });
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: menus_dialogs_screenshot FOLDER\n");
        return 2;
    }
    brisklo::ui::ApplyStyleSheet(app);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    brisklo::test::TempDir dir;
    brisklo::ConfigStore config(dir / "configure.ini");
    config.Set(brisklo::Setting::OutputDir, (dir / "压缩结果").string());
    brisklo::app::MainWindow window(config, brisklo::FindEncoder());
    window.create();
    const auto clip = brisklo::test::MakeClip(dir / "家庭旅行 2024.mp4", 1.0);
    const auto id = window.Add(MediaKind::Video, clip);
    window.Add(MediaKind::Video, brisklo::test::MakeClip(dir / "会议记录.mov", 2.0));
    window.resize(960, 640);
    window.show();
    bool ok = QTest::qWaitForWindowExposed(&window) &&
              Save(window, folder + QStringLiteral("/main-window.png"));

    bool saved = false;
    GrabNextModal(&window, folder + QStringLiteral("/settings-dialog.png"), saved);
    window.rowActions().OpenSettings();
    ok = ok && saved;
    saved = false;
    GrabNextModal(&window, folder + QStringLiteral("/param-dialog.png"), saved);
    window.rowActions().OpenParameters(id);
    ok = ok && saved;

    QWidget* row = window.videoView().Row(id);
    QMenu* menu = brisklo::app::OpenRowMenu(
        window, {id, true, true, row->mapToGlobal(row->rect().bottomRight())});
    ok = Save(*menu, folder + QStringLiteral("/row-menu.png")) && ok;
    menu->close();
    QMenu* tray =
        brisklo::app::OpenTrayMenu(window, window.screen()->availableGeometry().bottomRight());
    ok = Save(*tray, folder + QStringLiteral("/tray-menu.png")) && ok;
    tray->close();
    return ok ? 0 : 1;
}
