#pragma once

#include <string>
#include <string_view>

namespace brisklo {

// Built-in base address of the vendor's web service; the setting "service-url"
// (section "global") defaults to it and tests point it at a loopback server.
inline constexpr std::string_view kDefaultServiceUrl = "https://api.brisklo.app";

inline constexpr std::string_view kUpgradeCheckPath = "/v2/upgrade_check";
inline constexpr std::string_view kFeedbackPath = "/v2/feedback";
// The help page, relative to the vendor's web site.
inline constexpr std::string_view kHelpPagePath = "/help/audio";

// base + path, with the slashes that end base dropped so "https://h/" and
// "https://h" give the same address.
std::string ServiceUrl(std::string_view base, std::string_view path);

}  // namespace brisklo
