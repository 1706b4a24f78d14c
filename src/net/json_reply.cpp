// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/json_reply.h"

#include <json/reader.h>

#include <exception>
#include <memory>
#include <string>

namespace brisklo {

std::optional<Json::Value> ParseJsonReply(std::string_view text) {
    if (text.empty()) return std::nullopt;
    Json::CharReaderBuilder builder;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string errors;
    try {
        if (!reader->parse(text.data(), text.data() + text.size(), &root, &errors)) {
            return std::nullopt;
        }
    } catch (const std::exception&) {
        // The reader throws when a reply nests past its stack limit.
        return std::nullopt;
    }
    return root;
}

std::optional<int> ReadRet(const Json::Value& reply) {
    if (!reply.isObject()) return std::nullopt;
    const Json::Value& ret = reply["ret"];
    // Null (missing), booleans, integers and reals in range convert; text does not.
    if (!ret.isConvertibleTo(Json::intValue)) return std::nullopt;
    return ret.asInt();
}

}  // namespace brisklo
