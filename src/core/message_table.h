// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <any>
#include <functional>
#include <map>
#include <type_traits>
#include <utility>

#include "core/messages.h"

namespace brisklo {

// One receiver's handlers by message, each taking the payload type the message
// table gives. A payload of another type is never cast: it is logged and dropped.
class MessageTable {
  public:
    // handler(const PayloadOf<Id>&), or handler() for a message without payload.
    template <MessageId Id, class Handler>
    MessageTable& On(Handler handler) {
        using Payload = PayloadOf<Id>;
        m_routes[Id] = [handler = std::move(handler)](const std::any& payload) {
            if constexpr (std::is_same_v<Payload, NoPayload>) {
                handler();
            } else if (const auto* value = std::any_cast<Payload>(&payload)) {
                handler(*value);
            } else {
                WrongPayload(Id);
            }
        };
        return *this;
    }

    // Runs the message's handler; false when the table has none for it.
    bool Dispatch(MessageId id, const std::any& payload) const;
    bool Handles(MessageId id) const { return m_routes.contains(id); }

  private:
    static void WrongPayload(MessageId id);

    std::map<MessageId, std::function<void(const std::any&)>> m_routes;
};

}  // namespace brisklo
