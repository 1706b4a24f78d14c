// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/result.h"
#include "net/http_client.h"
#include "net/service_address.h"

namespace brisklo {

// The version of this build, compared with the one the service offers.
inline constexpr std::string_view kCurrentVersion = BRISKLO_VERSION;

// A newer version the service offers.
struct UpgradeOffer {
    std::string version;      // "app_version" as the service wrote it
    std::string downloadUrl;  // "download_url"; the download itself insists on https
    bool mandatory = false;   // "force_upgrade" nonzero: the user cannot decline
    // "sha256": the installer's digest in hex, when the reply gives one; the
    // download is checked against it before it is offered.
    std::string sha256;
};

// A finished check: an Error when it failed (no answer, not JSON, nonzero "ret",
// an unusable version or flag); then the value holds the offer, or nothing when
// the service knows no newer version. A failed check is silent toward the user in
// both variants; the error text is for the log.
using UpgradeCheckResult = Result<std::optional<UpgradeOffer>>;

struct UpgradeCheckParams {
    std::string serviceUrl = std::string(kDefaultServiceUrl);  // setting "service-url"
    HttpOptions http;
    std::string localVersion = std::string(kCurrentVersion);
};

// {"app_name":"Brisklo"}
std::string UpgradeRequestBody();

// serviceUrl + "/v2/upgrade_check" + "?timestamp=<local time in ms, 32 bits>".
std::string UpgradeCheckUrl(std::string_view serviceUrl);

// Reads the service's answer and compares its version with localVersion, printing
// the "routeMajorVersion: ..." and "localMajorVersion: ..." lines.
UpgradeCheckResult InterpretUpgradeReply(std::string_view response,
                                         std::string_view localVersion = kCurrentVersion);

// The whole check: request, answer, comparison. Blocks for at most the request's
// time-outs; call it on a worker thread and show the outcome on the UI thread.
UpgradeCheckResult CheckForUpgrade(const UpgradeCheckParams& params = {});

}  // namespace brisklo
