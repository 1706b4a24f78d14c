// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/message_queue.h"

namespace brisklo {

void MessageQueue::Post(MessageId id, std::any payload) {
    {
        std::lock_guard lock(m_mutex);
        m_messages.emplace_back(id, std::move(payload));
    }
    m_posted.notify_one();
}

std::optional<std::pair<MessageId, std::any>> MessageQueue::Take(
    std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    if (!m_posted.wait_for(lock, timeout, [this] { return !m_messages.empty(); }))
        return std::nullopt;
    auto message = std::move(m_messages.front());
    m_messages.pop_front();
    return message;
}

}  // namespace brisklo
