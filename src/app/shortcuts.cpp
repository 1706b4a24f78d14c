// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shortcuts.h"

#include <QAbstractButton>
#include <QShortcut>

#include "core/messages.h"
#include "ui/controls.h"
#include "ui/window_base.h"

namespace brisklo::app {
namespace {

bool ImagePageShown(const ui::WindowBase* window) {
    return ui::CurrentIndex(window->control(QStringLiteral("main-tab"))) == 1;
}

void Press(const ui::WindowBase* window, const char* videoName, const char* imageName) {
    const char* name = ImagePageShown(window) ? imageName : videoName;
    if (auto* button = window->control<QAbstractButton>(QString::fromLatin1(name))) button->click();
}

void OnKey(ui::WindowBase* window, QKeySequence keys, std::function<void()> action) {
    auto* shortcut = new QShortcut(keys, window);  // owned by the window
    QObject::connect(shortcut, &QShortcut::activated, window, std::move(action));
}

}  // namespace

void AddShortcuts(ui::WindowBase* window) {
    OnKey(window, QKeySequence(Qt::CTRL | Qt::Key_O),
          [window] { Press(window, "add-video-file", "add-image-file"); });
    OnKey(window, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O),
          [window] { Press(window, "add-video-dir", "add-image-dir"); });
    OnKey(window, QKeySequence(Qt::CTRL | Qt::Key_1),
          [window] { Press(window, "compress-video", "compress-video"); });
    OnKey(window, QKeySequence(Qt::CTRL | Qt::Key_2),
          [window] { Press(window, "compress-image", "compress-image"); });
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        OnKey(window, QKeySequence(Qt::CTRL | key),
              [window] { Press(window, "all-compress", "all-image-compress"); });
    }
    OnKey(window, QKeySequence(Qt::CTRL | Qt::Key_Q),
          [window] { window->post(static_cast<int>(MessageId::MenuQuit)); });
}

}  // namespace brisklo::app
