// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/message_table.h"

#include "core/log.h"

namespace brisklo {

bool MessageTable::Dispatch(MessageId id, const std::any& payload) const {
    const auto route = m_routes.find(id);
    if (route == m_routes.end()) return false;
    route->second(payload);
    return true;
}

void MessageTable::WrongPayload(MessageId id) {
    LogLine("message %d dropped: its payload is not of its type\n", static_cast<int>(id));
}

}  // namespace brisklo
