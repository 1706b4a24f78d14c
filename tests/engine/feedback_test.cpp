// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/feedback.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <json/reader.h>
#include <json/value.h>

#include <chrono>
#include <memory>
#include <mutex>

#include "net_test_support.h"

namespace brisklo {
namespace {
using namespace std::chrono_literals;
using test::LoopbackServer;
using test::TestPki;

TEST(Feedback, ValidationAsksForTheMessageFirst) {
    EXPECT_EQ(ValidateFeedback({"", "me@example.org"}), FeedbackProblem::EmptyContent);
    EXPECT_EQ(ValidateFeedback({"", ""}), FeedbackProblem::EmptyContent);
    EXPECT_EQ(ValidateFeedback({"too slow", ""}), FeedbackProblem::EmptyContact);
    EXPECT_EQ(ValidateFeedback({"too slow", "me@example.org"}), std::nullopt);
}

TEST(Feedback, BodyIsStyledWithContactBeforeContent) {
    EXPECT_EQ(FeedbackRequestBody({"it \"works\"\n", "me@example.org"}),
              "{\n"
              "   \"contact\" : \"me@example.org\",\n"
              "   \"content\" : \"it \\\"works\\\"\\n\"\n"
              "}\n");
    EXPECT_EQ(FeedbackRequestBody({"压缩太慢了", "微信 abc"}),
              "{\n"
              "   \"contact\" : \"微信 abc\",\n"
              "   \"content\" : \"压缩太慢了\"\n"
              "}\n");
    EXPECT_EQ(FeedbackUrl("https://svc.example/"), "https://svc.example/v2/feedback");
}

TEST(Feedback, OnlyTheParsedBodyDecides) {
    EXPECT_EQ(InterpretFeedbackReply(R"({"ret":0})"), FeedbackOutcome::Submitted);
    EXPECT_EQ(InterpretFeedbackReply(R"({"msg":"ok"})"), FeedbackOutcome::Submitted);
    EXPECT_EQ(InterpretFeedbackReply(R"({"ret":3})"), FeedbackOutcome::Refused);
    EXPECT_EQ(InterpretFeedbackReply(R"({"ret":"0"})"), FeedbackOutcome::Refused);
    EXPECT_EQ(InterpretFeedbackReply("[0]"), FeedbackOutcome::Refused);
    EXPECT_EQ(InterpretFeedbackReply(""), FeedbackOutcome::NetworkError);
    EXPECT_EQ(InterpretFeedbackReply("<html>Bad Gateway</html>"), FeedbackOutcome::NetworkError);
    EXPECT_EQ(InterpretFeedbackReply(std::string(50000, '[')), FeedbackOutcome::NetworkError);
}

struct FeedbackService {
    LoopbackServer https{TestPki::Get().loopback()};
    std::mutex mutex;
    std::string target, body, contentType;

    FeedbackService(int status, std::string reply) {
        https.server().Post("/v2/feedback", [this, status, reply](const httplib::Request& req,
                                                                  httplib::Response& res) {
            std::lock_guard lock(mutex);
            target = req.target;
            body = req.body;
            contentType = req.get_header_value("Content-Type");
            res.status = status;
            res.set_content(reply, "application/json");
        });
        https.Start();
    }

    FeedbackParams Params() {
        FeedbackParams params;
        params.serviceUrl = https.Url();
        params.http.caFile = TestPki::Get().caFile();
        params.http.timeout = test::kLoopbackTimeout;
        params.http.connectTimeout = test::kLoopbackConnectTimeout;
        return params;
    }
};

TEST(Feedback, ChineseMessageArrivesAsUtf8InContent) {
    FeedbackService service(200, R"({"ret":0})");
    const FeedbackMessage message{"视频压缩后没有声音", "QQ 12345"};
    testing::internal::CaptureStdout();
    const FeedbackOutcome outcome = SendFeedback(message, service.Params());
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(outcome, FeedbackOutcome::Submitted);

    std::lock_guard lock(service.mutex);
    EXPECT_EQ(service.target, "/v2/feedback");
    EXPECT_EQ(service.contentType, "application/json;charset=UTF-8");
    EXPECT_EQ(service.body, FeedbackRequestBody(message));
    // The raw bytes carry the UTF-8 text itself, not \u escapes.
    EXPECT_NE(service.body.find("\xE8\xA7\x86\xE9\xA2\x91"), std::string::npos);  // 视频
    Json::Value parsed;
    std::string errors;
    Json::CharReaderBuilder builder;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    ASSERT_TRUE(reader->parse(service.body.data(), service.body.data() + service.body.size(),
                              &parsed, &errors))
        << errors;
    EXPECT_EQ(parsed["content"].asString(), "视频压缩后没有声音");
    EXPECT_EQ(parsed["contact"].asString(), "QQ 12345");
    EXPECT_EQ(parsed.size(), 2u);
}

TEST(Feedback, ServerErrorWithRetZeroStillCountsAsSubmitted) {
    FeedbackService service(500, R"({"ret":0})");
    testing::internal::CaptureStdout();
    EXPECT_EQ(SendFeedback({"hi", "me"}, service.Params()), FeedbackOutcome::Submitted);
    testing::internal::GetCapturedStdout();
}

TEST(Feedback, NonzeroRetIsRefused) {
    FeedbackService service(200, R"({"ret":1001,"msg":"rate limited"})");
    testing::internal::CaptureStdout();
    EXPECT_EQ(SendFeedback({"hi", "me"}, service.Params()), FeedbackOutcome::Refused);
    testing::internal::GetCapturedStdout();
}

TEST(Feedback, NoServiceIsANetworkError) {
    FeedbackParams params;
    params.serviceUrl = "http://127.0.0.1:" + std::to_string(test::ClosedPort());
    params.http.connectTimeout = 500ms;
    testing::internal::CaptureStdout();
    EXPECT_EQ(SendFeedback({"hi", "me"}, params), FeedbackOutcome::NetworkError);
    testing::internal::GetCapturedStdout();
}

}  // namespace
}  // namespace brisklo
