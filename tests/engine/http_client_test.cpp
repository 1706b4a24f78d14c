// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/http_client.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "net_test_support.h"

namespace brisklo {
namespace {
using namespace std::chrono_literals;
using test::LoopbackServer;
using test::TestPki;

HttpOptions Quick() {
    HttpOptions options;
    options.timeout = test::kLoopbackTimeout;
    options.connectTimeout = test::kLoopbackConnectTimeout;
    options.caFile = TestPki::Get().caFile();
    return options;
}

TEST(HttpClient, SuccessAppendsTheReplyToWhatTheStringHeld) {
    LoopbackServer https(TestPki::Get().loopback());
    https.server().Post("/v2/x", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(R"({"ret":0})", "application/json");
    });
    https.Start();
    std::string response = "kept|";
    testing::internal::CaptureStdout();
    const int code = HttpClient::Instance().PostJson("{}", https.Url("/v2/x"), response, Quick());
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(code, HttpClient::kSuccess);
    EXPECT_EQ(response, R"(kept|{"ret":0})");
    EXPECT_EQ(printed, "curl code:0,strerror:No error\n");
}

TEST(HttpClient, EmptyBodyWithStatus200IsAFailure) {
    LoopbackServer https(TestPki::Get().loopback());
    https.server().Post("/v2/x",
                        [](const httplib::Request&, httplib::Response& res) { res.status = 200; });
    https.Start();
    std::string response = "earlier";
    EXPECT_EQ(HttpClient::Instance().PostJson("{}", https.Url("/v2/x"), response, Quick()),
              HttpClient::kFailure);
    EXPECT_EQ(response, "earlier");
}

TEST(HttpClient, ErrorStatusFailsButKeepsTheBody) {
    LoopbackServer https(TestPki::Get().loopback());
    https.server().Post("/v2/x", [](const httplib::Request&, httplib::Response& res) {
        res.status = 404;
        res.set_content(R"({"ret":404,"msg":"no such thing"})", "application/json");
    });
    https.Start();
    std::string response;
    EXPECT_EQ(HttpClient::Instance().PostJson("{}", https.Url("/v2/x"), response, Quick()),
              HttpClient::kFailure);
    EXPECT_EQ(response, R"({"ret":404,"msg":"no such thing"})");
}

TEST(HttpClient, SendsTheExactHeadersAndBodyBytes) {
    // The raw bytes show order and spelling, which a parsed request would hide.
    test::RawRequestCapture capture(R"({"ret":0})");
    const std::string body("{\"t\":\"\xE4\xBD\xA0\",\"z\":\"a\0b\"}", 20);
    std::string response;
    EXPECT_EQ(HttpClient::Instance().PostJson(body, capture.Url("/v2/raw?x=1"), response, Quick()),
              HttpClient::kSuccess);
    const std::string request = capture.Request();
    const std::size_t headEnd = request.find("\r\n\r\n");
    ASSERT_NE(headEnd, std::string::npos) << request;
    const std::string head = request.substr(0, headEnd + 2);
    EXPECT_TRUE(head.starts_with("POST /v2/raw?x=1 HTTP/1.1\r\n")) << head;
    const std::size_t accept = head.find("\r\nAccept: application/json\r\n");
    const std::size_t type = head.find("\r\nContent-Type:application/json;charset=UTF-8\r\n");
    ASSERT_NE(accept, std::string::npos) << head;
    ASSERT_NE(type, std::string::npos) << head;
    EXPECT_LT(accept, type);
    EXPECT_EQ(head.find("Accept: */*"), std::string::npos) << head;
    EXPECT_EQ(head.find("User-Agent"), std::string::npos) << head;
    EXPECT_EQ(head.find("x-www-form-urlencoded"), std::string::npos) << head;
    EXPECT_NE(head.find("\r\nContent-Length: 20\r\n"), std::string::npos) << head;
    EXPECT_EQ(request.substr(headEnd + 4), body);
    EXPECT_EQ(response, R"({"ret":0})");
}

TEST(HttpClient, RefusedConnectionFailsAtOnceAndSaysWhy) {
    const int port = test::ClosedPort();
    std::string response;
    testing::internal::CaptureStdout();
    const auto start = std::chrono::steady_clock::now();
    const int code = HttpClient::Instance().PostJson(
        "{}", "http://127.0.0.1:" + std::to_string(port) + "/v2/x", response, Quick());
    const auto took = std::chrono::steady_clock::now() - start;
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(code, HttpClient::kFailure);
    EXPECT_LT(took, 5s);  // refused at once, not after the connect time-out
    EXPECT_EQ(printed, "curl code:7,strerror:Couldn't connect to server\n");
    EXPECT_TRUE(response.empty());
}

TEST(HttpClient, SilentServerEndsAtTheTimeOut) {
    test::SilentListener silent;
    HttpOptions options = Quick();
    options.timeout = 300ms;
    std::string response;
    testing::internal::CaptureStdout();
    const auto start = std::chrono::steady_clock::now();
    const int code = HttpClient::Instance().PostJson(
        "{}", "http://127.0.0.1:" + std::to_string(silent.port()) + "/v2/x", response, options);
    const auto took = std::chrono::steady_clock::now() - start;
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(code, HttpClient::kFailure);
    EXPECT_GE(took, 250ms);
    EXPECT_LT(took, 10s);  // the request's own time-out, not the default one
    EXPECT_EQ(printed, "curl code:28,strerror:Timeout was reached\n");
}

TEST(HttpClient, TrustsAServerOnlyThroughItsAuthority) {
    LoopbackServer https(TestPki::Get().loopback());
    https.server().Post("/v2/x", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(R"({"ret":0})", "application/json");
    });
    https.Start();

    std::string trusted;
    EXPECT_EQ(HttpClient::Instance().PostJson("{}", https.Url("/v2/x"), trusted, Quick()),
              HttpClient::kSuccess);

    HttpOptions systemStore = Quick();
    systemStore.caFile.clear();
    std::string untrusted;
    testing::internal::CaptureStdout();
    EXPECT_EQ(HttpClient::Instance().PostJson("{}", https.Url("/v2/x"), untrusted, systemStore),
              HttpClient::kFailure);
    EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("curl code:60,", 0), 0u);
    EXPECT_TRUE(untrusted.empty());

    HttpOptions stranger = Quick();
    stranger.caFile = TestPki::Get().strangerCaFile();
    std::string refused;
    EXPECT_EQ(HttpClient::Instance().PostJson("{}", https.Url("/v2/x"), refused, stranger),
              HttpClient::kFailure);
    EXPECT_TRUE(refused.empty());
}

TEST(HttpClient, ChecksTheHostNameOfTheCertificate) {
    LoopbackServer https(TestPki::Get().wrongName());
    https.server().Post("/v2/x", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(R"({"ret":0})", "application/json");
    });
    https.Start();
    std::string response;
    testing::internal::CaptureStdout();
    EXPECT_EQ(HttpClient::Instance().PostJson("{}", https.Url("/v2/x"), response, Quick()),
              HttpClient::kFailure);
    EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("curl code:60,", 0), 0u);
    EXPECT_TRUE(response.empty());
}

TEST(HttpClient, OverlongReplyIsCutOffAndFails) {
    LoopbackServer https(TestPki::Get().loopback());
    https.server().Post("/v2/x", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(std::string(5000, 'x'), "application/json");
    });
    https.Start();
    HttpOptions options = Quick();
    options.maxResponseBytes = 1000;
    std::string response;
    EXPECT_EQ(HttpClient::Instance().PostJson("{}", https.Url("/v2/x"), response, options),
              HttpClient::kFailure);
    EXPECT_LE(response.size(), 1000u);
}

TEST(HttpClient, RequestsFromSeveralThreadsShareTheOneClient) {
    LoopbackServer https(TestPki::Get().loopback());
    https.server().Post("/v2/x", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content(req.body, "application/json");
    });
    https.Start();
    std::vector<std::thread> threads;
    std::vector<int> codes(4, -2);
    std::vector<std::string> responses(4);
    std::vector<HttpClient*> clients(4, nullptr);
    for (int i = 0; i < 4; ++i) {
        threads.emplace_back([&, i] {
            clients[i] = &HttpClient::Instance();
            codes[i] = clients[i]->PostJson("{\"n\":" + std::to_string(i) + "}", https.Url("/v2/x"),
                                            responses[i], Quick());
        });
    }
    for (auto& thread : threads) thread.join();
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(clients[i], clients[0]);
        EXPECT_EQ(codes[i], HttpClient::kSuccess);
        EXPECT_EQ(responses[i], "{\"n\":" + std::to_string(i) + "}");
    }
}

}  // namespace
}  // namespace brisklo
