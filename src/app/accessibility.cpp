// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/accessibility.h"

#include <QAccessible>
#include <QAccessibleApplication>
#include <QAccessibleWidget>
#include <QApplication>
#include <QMenu>

namespace brisklo::app {
namespace {

// The application with its open pop-up menus after its windows.
class ApplicationWithMenus : public QAccessibleApplication {
  public:
    int childCount() const override {
        return QAccessibleApplication::childCount() + static_cast<int>(OpenMenus().size());
    }

    QAccessibleInterface* child(int index) const override {
        const int windows = QAccessibleApplication::childCount();
        if (index < windows) return QAccessibleApplication::child(index);
        const QList<QWidget*> menus = OpenMenus();
        index -= windows;
        if (index < 0 || index >= menus.size()) return nullptr;
        return QAccessible::queryAccessibleInterface(menus[index]);
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        if (const int index = QAccessibleApplication::indexOfChild(child); index >= 0) return index;
        if (!child) return -1;
        const int at = static_cast<int>(OpenMenus().indexOf(child->object()));
        return at < 0 ? -1 : QAccessibleApplication::childCount() + at;
    }

  private:
    static QList<QWidget*> OpenMenus() {
        QList<QWidget*> menus;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (qobject_cast<QMenu*>(widget) && widget->isVisible()) menus << widget;
        }
        return menus;
    }
};

QAccessibleInterface* Interface(const QString& className, QObject* object) {
    if (className == QLatin1String("QApplication") && object == qApp) {
        return new ApplicationWithMenus;
    }
    if (className == QLatin1String("brisklo::app::MainWindow") && object->isWidgetType()) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    }
    return nullptr;
}

}  // namespace

void InstallAccessibility() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(&Interface);
}

}  // namespace brisklo::app
