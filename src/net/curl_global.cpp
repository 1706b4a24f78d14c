// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/curl_global.h"

#include <curl/curl.h>

#include <mutex>

namespace brisklo {

void EnsureCurlGlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_ALL); });
}

}  // namespace brisklo
