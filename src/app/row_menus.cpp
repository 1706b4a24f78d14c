// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/row_menus.h"

#include <QAction>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <array>
#include <utility>

#include "app/menu_placement.h"
#include "ui/skin.h"
#include "ui/window_base.h"

namespace brisklo::app {
namespace {

constexpr std::array<std::pair<const char*, MessageId>, 17> kItems{{
    {"seting-param", MessageId::TaskParameters},
    {"open-dir", MessageId::OpenVideoFolder},
    {"repeat-compress", MessageId::CompressAgain},
    {"file-delete", MessageId::DeleteVideo},
    {"stop-compress", MessageId::StopVideo},
    {"show-output-file", MessageId::ShowOutputFile},
    {"open-image-dir", MessageId::OpenImageFolder},
    {"repeat-image-compress", MessageId::CompressImageAgain},
    {"file-image-delete", MessageId::DeleteImage},
    {"stop-image-compress", MessageId::StopImage},
    {"show-image-output-file", MessageId::ShowOutputFile},
    {"main_menu_item_quit", MessageId::MenuQuit},
    {"main_menu_item_home", MessageId::MenuHome},
    {"main_menu_item_help", MessageId::MenuHelp},
    {"main_menu_item_seting", MessageId::MenuSettings},
    {"main_menu_item_feedback", MessageId::MenuFeedback},
    {"main_menu_item_upgrade", MessageId::MenuUpgrade},
}};

QString CancelWaitingItem() { return QCoreApplication::translate("PopMenu", "取消等待"); }

QRect WorkAreaAt(QPoint point) {
    QScreen* screen = QGuiApplication::screenAt(point);
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(point, QSize(1, 1));
}

// Shows the menu at the corner MenuTopLeft gives for its size.
void PopUp(QMenu* menu, QPoint point, MenuSide side) {
    menu->ensurePolished();
    menu->adjustSize();
    menu->popup(MenuTopLeft(menu->sizeHint(), point, WorkAreaAt(point), side));
}

}  // namespace

std::optional<MessageId> MenuItemMessage(const QString& itemName) {
    for (const auto& [name, message] : kItems) {
        if (itemName == QLatin1String(name)) return message;
    }
    return std::nullopt;
}

QMenu* LoadMenu(const QString& skinFile, QWidget* parent) {
    QWidget* loaded = ui::LoadLayout(skinFile, parent);
    auto* menu = qobject_cast<QMenu*>(loaded);
    if (!menu) {
        loaded->deleteLater();  // not a menu: not kept
        throw ui::SkinError("the layout " + skinFile.toStdString() + " is not a menu");
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    return menu;
}

QMenu* OpenRowMenu(ui::WindowBase& window, const RowMenuRequest& request) {
    QMenu* menu = LoadMenu(
        QString::fromLatin1(request.videoRow ? "PopMenu.xml" : "ImagePopMenu.xml"), &window);
    const std::int32_t taskId = request.taskId;
    for (QAction* action : menu->actions()) {
        const auto message = MenuItemMessage(action->objectName());
        if (!message) continue;
        if (*message == MessageId::StopVideo || *message == MessageId::StopImage) {
            action->setVisible(request.stoppable);
            if (request.waiting) action->setText(CancelWaitingItem());
        }
        if (*message == MessageId::ShowOutputFile) action->setVisible(request.finished);
        QObject::connect(action, &QAction::triggered, &window, [&window, message, taskId] {
            window.post(static_cast<int>(*message), taskId);
        });
    }
    PopUp(menu, request.screenPoint, MenuSide::LeftOfPoint);
    return menu;
}

QMenu* OpenTrayMenu(ui::WindowBase& window, QPoint cursor) {
    QMenu* menu = LoadMenu(QStringLiteral("MainTaskMenu.xml"), &window);
    for (QAction* action : menu->actions()) {
        const auto message = MenuItemMessage(action->objectName());
        if (!message) continue;
#if !BRISKLO_ONLINE
        // Built without the update check and feedback: their items are left out.
        if (*message == MessageId::MenuFeedback || *message == MessageId::MenuUpgrade) {
            action->setVisible(false);
            continue;
        }
#endif
        QObject::connect(action, &QAction::triggered, &window,
                         [&window, message] { window.post(static_cast<int>(*message)); });
    }
    PopUp(menu, cursor, MenuSide::RightOfPoint);
    return menu;
}

}  // namespace brisklo::app
