// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/upgrade_check.h"

#include <json/value.h>

#include <algorithm>
#include <cctype>

#include "core/log.h"
#include "core/text_utils.h"
#include "net/json_reply.h"
#include "net/version_number.h"

namespace brisklo {
namespace {

// "force_upgrade" comes as a number or as a numeric text; both are read as text
// and converted like a version piece.
std::optional<long> ReadForceFlag(const Json::Value& value) {
    if (value.isString()) return ParseLeadingNumber(value.asString());
    if (value.isNumeric()) return ParseLeadingNumber(value.asString());
    return std::nullopt;
}

}  // namespace

std::string UpgradeRequestBody() { return R"({"app_name":"Brisklo"})"; }

std::string UpgradeCheckUrl(std::string_view serviceUrl) {
    return ServiceUrl(serviceUrl, kUpgradeCheckPath) + MakeTimestampQuery();
}

UpgradeCheckResult InterpretUpgradeReply(std::string_view response, std::string_view localVersion) {
    const std::optional<Json::Value> reply = ParseJsonReply(response);
    if (!reply) return Error{"the upgrade reply is not JSON"};
    const std::optional<int> ret = ReadRet(*reply);
    if (!ret) return Error{"the upgrade reply has no usable \"ret\""};
    if (*ret != 0) return Error{"the upgrade service answered ret " + std::to_string(*ret)};

    const Json::Value& data = (*reply)["data"];
    if (!data.isObject()) return Error{"the upgrade reply has no \"data\" object"};
    const Json::Value& versionValue = data["app_version"];
    if (!versionValue.isString()) return Error{"the upgrade reply has no \"app_version\" text"};
    const std::string versionText = versionValue.asString();
    const std::optional<VersionNumber> remote = ParseVersion(versionText);
    if (!remote) return Error{"unusable app_version \"" + versionText + "\""};
    const std::optional<VersionNumber> local = ParseVersion(localVersion);
    if (!local) return Error{"unusable local version \"" + std::string(localVersion) + "\""};

    LogLine("routeMajorVersion: %ld routeMinorVersion: %ld routeRevisionVersion: %ld\n",
            remote->major, remote->minor, remote->revision);
    LogLine("localMajorVersion: %ld localMinorVersion: %ld localRevisionVersion: %ld\n",
            local->major, local->minor, local->revision);

    if (*remote <= *local) return std::optional<UpgradeOffer>{};

    const Json::Value& urlValue = data["download_url"];
    if (!urlValue.isString() || urlValue.asString().empty()) {
        return Error{"the upgrade reply has no \"download_url\" text"};
    }
    const std::optional<long> force = ReadForceFlag(data["force_upgrade"]);
    if (!force) return Error{"the upgrade reply has no numeric \"force_upgrade\""};
    std::string sha256;
    if (const Json::Value& sum = data["sha256"]; !sum.isNull()) {
        const std::string text = sum.isString() ? sum.asString() : std::string();
        const bool hex = text.size() == 64 && std::all_of(text.begin(), text.end(), [](char c) {
                             return std::isxdigit(static_cast<unsigned char>(c)) != 0;
                         });
        if (!hex) return Error{"the upgrade reply's \"sha256\" is not 64 hex digits"};
        sha256 = text;
    }
    return std::optional<UpgradeOffer>{
        UpgradeOffer{versionText, urlValue.asString(), *force != 0, sha256}};
}

UpgradeCheckResult CheckForUpgrade(const UpgradeCheckParams& params) {
    const std::string body = UpgradeRequestBody();
    LogLine("message: %s\n", body.c_str());
    std::string response;
    const std::string url = UpgradeCheckUrl(params.serviceUrl);
    if (HttpClient::Instance().PostJson(body, url, response, params.http) != HttpClient::kSuccess) {
        // The address without its time stamp: where the program asked.
        return Error{"no usable answer from " + url.substr(0, url.find('?'))};
    }
    LogLine("response: %s\n", response.c_str());
    return InterpretUpgradeReply(response, params.localVersion);
}

}  // namespace brisklo
