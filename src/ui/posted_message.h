// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QEvent>
#include <any>

namespace brisklo::ui {

// The Qt event that carries a posted message to its window.
class PostedMessage : public QEvent {
  public:
    static QEvent::Type EventType();

    PostedMessage(int number, std::any payload)
        : QEvent(EventType()), m_number(number), m_payload(std::move(payload)) {}

    int number() const { return m_number; }
    const std::any& payload() const { return m_payload; }

  private:
    int m_number;
    std::any m_payload;
};

}  // namespace brisklo::ui
