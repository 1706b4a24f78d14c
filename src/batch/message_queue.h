// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <any>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <utility>

#include "core/messages.h"

namespace brisklo {

// A window's message queue for a front end without one: workers post, the
// owner's thread takes the messages in order.
class MessageQueue : public MessageSink {
  public:
    void Post(MessageId id, std::any payload) override;
    std::optional<std::pair<MessageId, std::any>> Take(std::chrono::milliseconds timeout);

  private:
    std::mutex m_mutex;
    std::condition_variable m_posted;
    std::deque<std::pair<MessageId, std::any>> m_messages;
};

}  // namespace brisklo
