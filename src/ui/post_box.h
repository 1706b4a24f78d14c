// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <any>
#include <memory>
#include <mutex>

#include "core/messages.h"

namespace brisklo::ui {

// The thread-safe way into a window: any thread posts a numbered message with
// its payload; the window gets it on its own thread, in posting order. Posting
// after the window has gone drops the message (its payload is freed).
class PostBox : public MessageSink {
  public:
    explicit PostBox(QObject* receiver) : m_receiver(receiver) {}

    void Post(MessageId id, std::any payload) override {
        Post(static_cast<int>(id), std::move(payload));
    }
    void Post(int number, std::any payload);
    // Called by the receiver as it goes.
    void Detach();

  private:
    std::mutex m_mutex;
    QObject* m_receiver;
};

}  // namespace brisklo::ui
