// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/feedback.h"

#include <json/value.h>
#include <json/writer.h>

#include "net/json_reply.h"

namespace brisklo {

std::optional<FeedbackProblem> ValidateFeedback(const FeedbackMessage& message) {
    if (message.content.empty()) return FeedbackProblem::EmptyContent;
    if (message.contact.empty()) return FeedbackProblem::EmptyContact;
    return std::nullopt;
}

std::string FeedbackRequestBody(const FeedbackMessage& message) {
    Json::Value body(Json::objectValue);
    body["contact"] =
        Json::Value(message.contact.data(), message.contact.data() + message.contact.size());
    body["content"] =
        Json::Value(message.content.data(), message.content.data() + message.content.size());
    // The layout of JsonCpp's StyledWriter (three-space indent, " : ", a closing
    // line end), written with UTF-8 kept as it is: StyledWriter itself would turn
    // every Chinese character into a \u escape.
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "   ";
    builder["emitUTF8"] = true;
    return Json::writeString(builder, body) + "\n";
}

std::string FeedbackUrl(std::string_view serviceUrl) {
    return ServiceUrl(serviceUrl, kFeedbackPath);
}

FeedbackOutcome InterpretFeedbackReply(std::string_view response) {
    const std::optional<Json::Value> reply = ParseJsonReply(response);
    if (!reply) return FeedbackOutcome::NetworkError;
    const std::optional<int> ret = ReadRet(*reply);
    return ret == 0 ? FeedbackOutcome::Submitted : FeedbackOutcome::Refused;
}

FeedbackOutcome SendFeedback(const FeedbackMessage& message, const FeedbackParams& params) {
    std::string response;
    // The result code is not looked at: a reply body decides even with an error
    // status, and a failed request leaves no JSON to read.
    [[maybe_unused]] const int code = HttpClient::Instance().PostJson(
        FeedbackRequestBody(message), FeedbackUrl(params.serviceUrl), response, params.http);
    return InterpretFeedbackReply(response);
}

}  // namespace brisklo
