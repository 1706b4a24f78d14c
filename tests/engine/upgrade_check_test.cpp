// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/upgrade_check.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <mutex>

#include "net/version_number.h"
#include "net_test_support.h"
#include "test_support.h"

namespace brisklo {
namespace {
using namespace std::chrono_literals;
using test::LoopbackServer;
using test::TestPki;

std::string Reply(std::string_view version, std::string_view force = "0",
                  std::string_view url = "https://dl.example/setup_1.3.0.exe") {
    return R"({"ret":0,"data":{"app_version":")" + std::string(version) + R"(","download_url":")" +
           std::string(url) + R"(","force_upgrade":)" + std::string(force) + "}}";
}

// The offer of a reply, or a failure message the test can print.
std::optional<UpgradeOffer> OfferOf(const std::string& reply) {
    testing::internal::CaptureStdout();
    UpgradeCheckResult result = InterpretUpgradeReply(reply, "1.2.0");
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(result.ok()) << reply << ": " << (result.ok() ? "" : result.error().message);
    return result.ok() ? result.value() : std::nullopt;
}

TEST(VersionNumber, ReadsThreePiecesTheWayStrtolDoes) {
    EXPECT_EQ(ParseVersion("1.2.0"), (VersionNumber{1, 2, 0}));
    EXPECT_EQ(ParseVersion(" 10.02.3beta"), (VersionNumber{10, 2, 3}));
    EXPECT_EQ(ParseVersion("1..2.3"), (VersionNumber{1, 2, 3}));  // empty pieces skipped
    EXPECT_EQ(ParseVersion("1.2.3.4"), (VersionNumber{1, 2, 3}));
    EXPECT_EQ(ParseVersion("1.3"), std::nullopt);
    EXPECT_EQ(ParseVersion("a.b.c"), std::nullopt);
    EXPECT_EQ(ParseVersion("1.x2.3"), std::nullopt);
    EXPECT_EQ(ParseVersion(""), std::nullopt);
}

TEST(VersionNumber, ComparesMajorThenMinorThenRevision) {
    const VersionNumber local{1, 2, 0};
    EXPECT_GT((VersionNumber{1, 2, 1}), local);
    EXPECT_GT((VersionNumber{2, 0, 0}), local);
    EXPECT_GT((VersionNumber{1, 10, 0}), local);
    EXPECT_FALSE((VersionNumber{1, 1, 9}) > local);
    EXPECT_FALSE((VersionNumber{1, 2, 0}) > local);
    EXPECT_FALSE((VersionNumber{0, 9, 99}) > local);
}

TEST(UpgradeCheck, RequestBodyAndAddress) {
    EXPECT_EQ(UpgradeRequestBody(), R"({"app_name":"Brisklo"})");
    constexpr std::string_view kAddress = "https://svc.example/v2/upgrade_check";
    EXPECT_TRUE(test::TimestampAfter(UpgradeCheckUrl("https://svc.example"), kAddress));
    EXPECT_TRUE(test::TimestampAfter(UpgradeCheckUrl("https://svc.example/"), kAddress));
    // The program's own version, from the build, as the check compares it.
    EXPECT_TRUE(ParseVersion(kCurrentVersion));
}

TEST(UpgradeCheck, OffersOnlyANewerVersion) {
    const auto newer = OfferOf(Reply("1.2.1"));
    ASSERT_TRUE(newer);
    EXPECT_EQ(newer->version, "1.2.1");
    EXPECT_EQ(newer->downloadUrl, "https://dl.example/setup_1.3.0.exe");
    EXPECT_FALSE(newer->mandatory);
    EXPECT_TRUE(OfferOf(Reply("2.0.0")));
    EXPECT_FALSE(OfferOf(Reply("1.1.9")));
    EXPECT_FALSE(OfferOf(Reply("1.2.0")));
}

TEST(UpgradeCheck, UnusableVersionsEndTheCheck) {
    for (const char* version : {"1.3", "abc", "", "v1.2.3"}) {
        testing::internal::CaptureStdout();
        const UpgradeCheckResult result = InterpretUpgradeReply(Reply(version), "1.2.0");
        const std::string printed = testing::internal::GetCapturedStdout();
        EXPECT_FALSE(result.ok()) << version;
        EXPECT_EQ(printed, "") << version;  // nothing compared, nothing printed
    }
}

TEST(UpgradeCheck, ForceFlagAsNumberOrText) {
    struct Case {
        const char* json;
        bool mandatory;
    };
    for (const Case& c : {Case{"1", true}, Case{R"("1")", true}, Case{"0", false},
                          Case{R"("0")", false}, Case{"2", true}, Case{R"(" 1x")", true}}) {
        const auto offer = OfferOf(Reply("1.3.0", c.json));
        ASSERT_TRUE(offer) << c.json;
        EXPECT_EQ(offer->mandatory, c.mandatory) << c.json;
    }
    for (const char* bad : {R"("yes")", "true", "null", "[]", R"("")"}) {
        testing::internal::CaptureStdout();
        EXPECT_FALSE(InterpretUpgradeReply(Reply("1.3.0", bad), "1.2.0").ok()) << bad;
        testing::internal::GetCapturedStdout();
    }
    testing::internal::CaptureStdout();
    EXPECT_FALSE(
        InterpretUpgradeReply(
            R"({"data":{"app_version":"1.3.0","download_url":"https://x/y.exe"}})", "1.2.0")
            .ok());
    testing::internal::GetCapturedStdout();
}

TEST(UpgradeCheck, RetDecidesAndAMissingRetCountsAsZero) {
    EXPECT_TRUE(OfferOf(R"({"data":{"app_version":"1.3.0","download_url":"https://x/y.exe",)"
                        R"("force_upgrade":0}})"));
    for (
        const char* reply :
        {R"({"ret":1,"data":{"app_version":"1.3.0","download_url":"https://x/y","force_upgrade":0}})",
         R"({"ret":"0","data":{"app_version":"1.3.0","download_url":"https://x/y","force_upgrade":0}})",
         R"({"ret":0})", R"({"ret":0,"data":[1]})", R"({"ret":0,"data":{"app_version":130}})",
         R"({"ret":0,"data":{"app_version":"1.3.0","download_url":7,"force_upgrade":0}})", "[]",
         "7", "", "not json", "{\"ret\":0"}) {
        testing::internal::CaptureStdout();
        EXPECT_FALSE(InterpretUpgradeReply(reply, "1.2.0").ok()) << reply;
        testing::internal::GetCapturedStdout();
    }
}

TEST(UpgradeCheck, DeeplyNestedReplyFailsWithoutThrowing) {
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    EXPECT_FALSE(InterpretUpgradeReply(deep, "1.2.0").ok());
}

TEST(UpgradeCheck, PrintsBothVersions) {
    testing::internal::CaptureStdout();
    const UpgradeCheckResult result = InterpretUpgradeReply(Reply("1.12.3"), "1.2.0");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "routeMajorVersion: 1 routeMinorVersion: 12 routeRevisionVersion: 3\n"
              "localMajorVersion: 1 localMinorVersion: 2 localRevisionVersion: 0\n");
    EXPECT_TRUE(result.ok());
}

struct UpgradeService {
    LoopbackServer https{TestPki::Get().loopback()};
    std::mutex mutex;
    std::string target, body, contentType, accept;

    explicit UpgradeService(std::string reply) {
        https.server().Post("/v2/upgrade_check",
                            [this, reply](const httplib::Request& req, httplib::Response& res) {
                                std::lock_guard lock(mutex);
                                target = req.target;
                                body = req.body;
                                contentType = req.get_header_value("Content-Type");
                                accept = req.get_header_value("Accept");
                                res.set_content(reply, "application/json");
                            });
        https.Start();
    }

    UpgradeCheckParams Params() {
        UpgradeCheckParams params;
        // A fixed local version, so the replies below stay newer, equal or older
        // whatever the program's own version is.
        params.localVersion = "1.2.0";
        params.serviceUrl = https.Url();
        params.http.caFile = TestPki::Get().caFile();
        params.http.timeout = test::kLoopbackTimeout;
        params.http.connectTimeout = test::kLoopbackConnectTimeout;
        return params;
    }
};

TEST(UpgradeCheck, AsksTheServiceAndReturnsItsOffer) {
    const std::string reply = Reply("1.3.0", R"("1")", "https://dl.example/setup_1.3.0.exe");
    UpgradeService service(reply);
    testing::internal::CaptureStdout();
    const UpgradeCheckResult result = CheckForUpgrade(service.Params());
    const std::string printed = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(result.ok()) << result.error().message;
    ASSERT_TRUE(result.value());
    EXPECT_EQ(result.value()->version, "1.3.0");
    EXPECT_TRUE(result.value()->mandatory);
    EXPECT_EQ(result.value()->downloadUrl, "https://dl.example/setup_1.3.0.exe");

    std::lock_guard lock(service.mutex);
    EXPECT_TRUE(test::TimestampAfter(service.target, "/v2/upgrade_check")) << service.target;
    EXPECT_EQ(service.body, R"({"app_name":"Brisklo"})");
    EXPECT_EQ(service.contentType, "application/json;charset=UTF-8");
    EXPECT_EQ(service.accept, "application/json");
    EXPECT_EQ(printed,
              "message: {\"app_name\":\"Brisklo\"}\n"
              "curl code:0,strerror:No error\n"
              "response: " +
                  reply +
                  "\n"
                  "routeMajorVersion: 1 routeMinorVersion: 3 routeRevisionVersion: 0\n"
                  "localMajorVersion: 1 localMinorVersion: 2 localRevisionVersion: 0\n");
}

TEST(UpgradeCheck, SameVersionMeansNoOffer) {
    UpgradeService service(Reply("1.2.0"));
    testing::internal::CaptureStdout();
    const UpgradeCheckResult result = CheckForUpgrade(service.Params());
    testing::internal::GetCapturedStdout();
    ASSERT_TRUE(result.ok()) << result.error().message;
    EXPECT_FALSE(result.value());
}

TEST(UpgradeCheck, NoServiceMeansAFailedCheck) {
    UpgradeCheckParams params;
    params.serviceUrl = "http://127.0.0.1:" + std::to_string(test::ClosedPort());
    params.http.connectTimeout = 500ms;
    testing::internal::CaptureStdout();
    const UpgradeCheckResult result = CheckForUpgrade(params);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(printed.find("response: "), std::string::npos) << printed;
}

TEST(UpgradeCheck, ADigestInTheReplyComesWithTheOffer) {
    const std::string sum(64, 'c');
    const auto with = InterpretUpgradeReply(
        R"({"ret":0,"data":{"app_version":"99.0.0","download_url":"https://x/y.exe",)"
        R"("force_upgrade":0,"sha256":")" +
        sum + R"("}})");
    ASSERT_TRUE(with.ok()) << with.error().message;
    ASSERT_TRUE(with.value().has_value());
    EXPECT_EQ(with.value()->sha256, sum);
    const auto bad = InterpretUpgradeReply(
        R"({"ret":0,"data":{"app_version":"99.0.0","download_url":"https://x/y.exe",)"
        R"("force_upgrade":0,"sha256":"12ab"}})");
    EXPECT_FALSE(bad.ok());
}

}  // namespace
}  // namespace brisklo
