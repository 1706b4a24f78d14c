// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tab_order.h"

#include <QWidget>

namespace brisklo::app {
namespace {

bool TakesTab(const QWidget* widget) {
    return (widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && !widget->isWindow();
}

void Append(QList<QWidget*>& order, QWidget* widget) {
    if (widget && TakesTab(widget) && !order.contains(widget)) order << widget;
}

}  // namespace

QList<QWidget*> TabStops(QWidget& container) {
    QList<QWidget*> stops;
    Append(stops, &container);
    for (QWidget* child : container.findChildren<QWidget*>()) {
        // A row menu or a dialog is a window of its own, with its own order.
        if (child->window() != container.window()) continue;
        Append(stops, child);
    }
    return stops;
}

void ApplyMainTabOrder(QWidget& window) {
    QList<QWidget*> order;
    const auto named = [&window](const char* name) {
        return window.findChild<QWidget*>(QString::fromLatin1(name));
    };
    Append(order, named("compress-video"));
    Append(order, named("compress-image"));
    for (const char* page : {"videoPage", "imagePage"}) {
        if (QWidget* widget = named(page)) {
            for (QWidget* stop : TabStops(*widget)) Append(order, stop);
        }
    }
    const QList<QWidget*> quiet = {named("seting"), named("feedback"), named("help")};
    for (QWidget* stop : TabStops(window)) {
        if (!quiet.contains(stop)) Append(order, stop);
    }
    for (QWidget* stop : quiet) Append(order, stop);
    for (qsizetype i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

}  // namespace brisklo::app
