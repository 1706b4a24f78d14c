// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "net/http_client.h"
#include "net/service_address.h"

namespace brisklo {

// What the user typed, in UTF-8.
struct FeedbackMessage {
    std::string content;
    std::string contact;
};

enum class FeedbackOutcome {
    Submitted,     // the reply is JSON with "ret" 0, whatever the HTTP status
    Refused,       // the reply is JSON with any other "ret"
    NetworkError,  // no reply, a time-out, or a reply that is not JSON
};

// Why a message cannot be sent.
enum class FeedbackProblem { EmptyContent, EmptyContact };

// The problem with what the user typed (an empty message first, then an empty
// contact), or nothing when it may be sent.
std::optional<FeedbackProblem> ValidateFeedback(const FeedbackMessage& message);

// The request body: {"contact", "content"} laid out over several lines, members
// in key order, UTF-8 kept as it is.
std::string FeedbackRequestBody(const FeedbackMessage& message);

// serviceUrl + "/v2/feedback".
std::string FeedbackUrl(std::string_view serviceUrl);

// Only the parsed body decides: the HTTP status plays no part.
FeedbackOutcome InterpretFeedbackReply(std::string_view response);

struct FeedbackParams {
    std::string serviceUrl = std::string(kDefaultServiceUrl);  // setting "service-url"
    HttpOptions http;
};

// Sends a validated message and reads the answer. Blocks for at most the
// request's time-outs.
FeedbackOutcome SendFeedback(const FeedbackMessage& message, const FeedbackParams& params = {});

}  // namespace brisklo
