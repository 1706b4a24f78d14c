// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

#include "core/settings.h"

namespace brisklo {

// The service's base address is the setting "service-url" (default
// kDefaultServiceUrl); tests point it at a loopback server.

inline constexpr std::string_view kUpgradeCheckPath = "/v2/upgrade_check";
inline constexpr std::string_view kFeedbackPath = "/v2/feedback";
// The help page, relative to the vendor's web site.
inline constexpr std::string_view kHelpPagePath = "/help/audio";
// The main window's help page.
inline constexpr std::string_view kMainHelpPagePath = "/help";

// base + path, with the slashes that end base dropped so "https://h/" and
// "https://h" give the same address.
std::string ServiceUrl(std::string_view base, std::string_view path);

}  // namespace brisklo
