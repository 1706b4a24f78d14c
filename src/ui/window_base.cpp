// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window_base.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QScreen>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/log.h"
#include "ui/posted_message.h"

namespace brisklo::ui {

namespace {
constexpr const char* kWiredProperty = "brisklo.wired";
}

WindowBase::WindowBase(QWidget* owner)
    : QDialog(owner), m_postBox(std::make_shared<PostBox>(this)) {}

WindowBase::~WindowBase() { m_postBox->Detach(); }

void WindowBase::create() {
    m_root = LoadLayout(skinFile(), this);
    auto* layout = new QVBoxLayout(this);  // owned by this window
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_root);
    if (!m_root->windowTitle().isEmpty()) setWindowTitle(m_root->windowTitle());
    resize(m_root->size());
    wireNotifications(this);
    initWindow();
}

std::optional<int> WindowBase::createAndRunModal() {
    try {
        create();
    } catch (const SkinError& error) {
        LogLine("cannot show %s: %s\n", skinFile().toUtf8().constData(), error.what());
        return std::nullopt;
    }
    return runModal();
}

int WindowBase::runModal() {
    if (QWidget* owner = parentWidget()) {
        const QRect area = owner->window()->frameGeometry();
        move(area.center() - rect().center());
    } else if (QScreen* screen = this->screen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    return exec();
}

void WindowBase::closeWith(int result) {
    m_closingWithResult = true;
    done(result);
}

void WindowBase::done(int result) {
    // Esc and the window's close button come here too; they ask onClose first.
    if (!m_closingWithResult && !onClose()) return;
    m_closingWithResult = false;
    QDialog::done(result);
    onFinalMessage();
}

void WindowBase::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && !closesOnEscape()) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

void WindowBase::post(int number, std::any payload) { m_postBox->Post(number, std::move(payload)); }

void WindowBase::notify(const Notification&) {}

int WindowBase::handleCustomMessage(int, const std::any&, bool& handled) {
    handled = false;
    return 0;
}

bool WindowBase::event(QEvent* event) {
    if (event->type() == PostedMessage::EventType()) {
        const auto* message = static_cast<PostedMessage*>(event);
        bool handled = true;
        handleCustomMessage(message->number(), message->payload(), handled);
        return true;
    }
    return QDialog::event(event);
}

void WindowBase::wireNotifications(QWidget* root) {
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* widget : widgets) {
        if (widget->objectName().isEmpty() || widget->property(kWiredProperty).toBool()) continue;
        widget->setProperty(kWiredProperty, true);
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            // Check boxes, option buttons and tab buttons report their state;
            // plain buttons report clicks.
            if (button->isCheckable()) {
                connect(button, &QAbstractButton::toggled, this,
                        [this, button](bool on) { emitNotification(kSelectChanged, button, on); });
            } else {
                connect(button, &QAbstractButton::clicked, this,
                        [this, button] { emitNotification(kClick, button, 0); });
            }
        } else if (auto* slider = qobject_cast<QAbstractSlider*>(widget)) {
            connect(slider, &QAbstractSlider::valueChanged, this,
                    [this, slider](int value) { emitNotification(kValueChanged, slider, value); });
        } else if (auto* spin = qobject_cast<QSpinBox*>(widget)) {
            connect(spin, &QSpinBox::valueChanged, this,
                    [this, spin](int value) { emitNotification(kValueChanged, spin, value); });
        } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            connect(combo, &QComboBox::activated, this,
                    [this, combo](int index) { emitNotification(kItemSelect, combo, index); });
        }
        for (QAction* action : widget->actions()) {
            if (action->objectName().isEmpty() || action->property(kWiredProperty).toBool())
                continue;
            action->setProperty(kWiredProperty, true);
            connect(action, &QAction::triggered, this, [this, action, widget] {
                Notification n{kItemClick, widget, action->objectName(), 0};
                notify(n);
            });
        }
    }
}

void WindowBase::emitNotification(const QString& type, QWidget* sender, int value) {
    notify(Notification{type, sender, sender->objectName(), value});
}

void WindowBase::ThrowMissing(const QString& name) const {
    throw SkinError("the layout " + skinFile().toStdString() + " has no control named \"" +
                    name.toStdString() + "\"");
}

}  // namespace brisklo::ui
