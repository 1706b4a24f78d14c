// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/installer_address.h"

#include <curl/curl.h>

#include <memory>
#include <optional>

#include "core/c_deleter.h"
#include "net/curl_global.h"

namespace brisklo {
namespace {

std::optional<std::string> UrlPart(CURLU* handle, CURLUPart what) {
    char* part = nullptr;
    if (curl_url_get(handle, what, &part, 0) != CURLUE_OK || !part) return std::nullopt;
    std::string text(part);
    curl_free(part);
    return text;
}

InstallerAddress Refuse(AddressVerdict verdict, std::string reason) {
    InstallerAddress address;
    address.verdict = verdict;
    address.reason = std::move(reason);
    return address;
}

}  // namespace

InstallerAddress ParseInstallerAddress(std::string_view url) {
    EnsureCurlGlobalInit();
    const std::string text(url);
    if (text.empty() || text.find('\0') != std::string::npos) {
        return Refuse(AddressVerdict::Invalid, "the installer address is empty or malformed");
    }
    CHandle<CURLU, curl_url_cleanup> handle(curl_url());
    if (!handle || curl_url_set(handle.get(), CURLUPART_URL, text.c_str(), 0) != CURLUE_OK) {
        return Refuse(AddressVerdict::Invalid, "\"" + text + "\" is not a valid address");
    }
    const std::optional<std::string> scheme = UrlPart(handle.get(), CURLUPART_SCHEME);
    if (!scheme || *scheme != "https") {
        return Refuse(AddressVerdict::NotHttps,
                      "the installer address \"" + text + "\" is not an https address");
    }
    const std::optional<std::string> host = UrlPart(handle.get(), CURLUPART_HOST);
    const std::optional<std::string> path = UrlPart(handle.get(), CURLUPART_PATH);
    if (!host || host->empty() || !path) {
        return Refuse(AddressVerdict::Invalid, "\"" + text + "\" names no host or path");
    }
    // Still percent-encoded, so the name can hold no "/" of its own.
    std::string name = path->substr(path->rfind('/') + 1);
    if (name.empty() || name == "." || name == "..") {
        return Refuse(AddressVerdict::Invalid,
                      "the installer address \"" + text + "\" does not end in a file name");
    }
    InstallerAddress address;
    address.verdict = AddressVerdict::Usable;
    address.url = text;
    address.fileName = std::move(name);
    return address;
}

}  // namespace brisklo
