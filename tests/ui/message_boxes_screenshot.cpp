// SPDX-License-Identifier: GPL-3.0-or-later
// Shows the question box and the notice box over the main window and saves a
// screenshot of the screen with each, plus a close-up of each box. Run under
// Xvfb, with and without a compositing manager, by
// scripts/screenshot-message-boxes.
#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "app/main_window.h"
#include "core/config_store.h"
#include "dialogs/message_box_dialog.h"
#include "dialogs/prompt_box_dialog.h"
#include "test_support.h"
#include "ui/skin.h"
#include "ui/translucency.h"

namespace {

using brisklo::dialogs::BoxDialog;

// Runs box over owner, photographs the screen once it (and its shadow, where
// there is one) shows, and closes it. Saves PREFIX.png and PREFIX-zoom.png.
bool Shoot(BoxDialog& box, const QString& prefix) {
    box.create();
    bool saved = false;
    QTimer::singleShot(0, &box, [&] {
        const bool shown = QTest::qWaitForWindowExposed(&box) && QTest::qWaitFor([&] {
                               const QWidget* shadow = box.shadow().shadowWindow();
                               return !box.shadow().isAttached() || (shadow && shadow->isVisible());
                           });
        QTest::qWait(500);
        if (shown) {
            const QPixmap screen = box.screen()->grabWindow(0);
            const QRect around = box.frameGeometry().adjusted(-16, -16, 16, 16);
            const QPixmap zoom = screen.copy(around).scaled(around.size() * 2, Qt::KeepAspectRatio,
                                                            Qt::FastTransformation);
            saved = screen.save(prefix + QStringLiteral(".png")) &&
                    zoom.save(prefix + QStringLiteral("-zoom.png"));
        }
        box.closeWith(1);
    });
    box.runModal();
    std::printf("%s: %s, shadow %s\n", qPrintable(box.objectName()), saved ? "saved" : "NOT saved",
                box.shadow().isAttached() ? "attached" : "not attached");
    return saved;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: message_boxes_screenshot OUTPUT-PREFIX\n");
        return 2;
    }
    const QString prefix = QString::fromLocal8Bit(argv[1]);
    brisklo::ui::ApplyStyleSheet(app);
    std::printf("platform %s, translucent windows: %s\n",
                qPrintable(QGuiApplication::platformName()),
                brisklo::ui::DesktopShowsTranslucentWindows() ? "yes" : "no");

    brisklo::test::TempDir dir;
    brisklo::ConfigStore config(dir / "configure.ini");
    brisklo::app::MainWindow window(config, "ffmpeg");
    window.create();
    window.resize(800, 600);
    window.move(0, 0);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return 1;

    brisklo::dialogs::MessageBoxDialog question(&window,
                                                QStringLiteral("正在压缩中,确定要退出吗?"));
    brisklo::dialogs::PromptBoxDialog notice(
        &window, QStringLiteral("无法读取文件 /home/someone/Videos/2026-05-01 家庭聚会/"
                                "a_very_long_screen_recording_name_without_spaces.mkv,"
                                "请检查文件是否存在以及是否有读取权限。"));
    const bool ok = Shoot(question, prefix + QStringLiteral("-message")) &&
                    Shoot(notice, prefix + QStringLiteral("-prompt"));
    return ok ? 0 : 1;
}
