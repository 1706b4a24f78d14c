// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/post_box.h"

#include <QCoreApplication>

#include "ui/posted_message.h"

namespace brisklo::ui {

void PostBox::Post(int number, std::any payload) {
    std::lock_guard lock(m_mutex);
    if (!m_receiver) return;
    // Qt takes ownership of a posted event and deletes it after delivery.
    QCoreApplication::postEvent(m_receiver, new PostedMessage(number, std::move(payload)));
}

void PostBox::Detach() {
    std::lock_guard lock(m_mutex);
    m_receiver = nullptr;
}

}  // namespace brisklo::ui
