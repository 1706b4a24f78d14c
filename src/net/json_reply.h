// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <json/value.h>

#include <optional>
#include <string_view>

namespace brisklo {

// Parses a reply of the web service. Nothing when the text is not JSON, is empty,
// or nests deeper than the reader allows; never throws.
std::optional<Json::Value> ParseJsonReply(std::string_view text);

// The reply's "ret" read as an integer, a missing one counting as 0. Nothing when
// the reply is not an object or "ret" is not a number that fits.
std::optional<int> ReadRet(const Json::Value& reply);

}  // namespace brisklo
