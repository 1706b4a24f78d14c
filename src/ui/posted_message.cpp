// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/posted_message.h"

namespace brisklo::ui {

QEvent::Type PostedMessage::EventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

}  // namespace brisklo::ui
