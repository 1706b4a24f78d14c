// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/http_client.h"

#include <curl/curl.h>

#include <memory>

#include "core/c_deleter.h"
#include "core/log.h"
#include "net/curl_global.h"

namespace brisklo {
namespace {

struct ResponseSink {
    std::string* text = nullptr;
    std::size_t received = 0;
    std::size_t limit = 0;
};

std::size_t AppendResponse(char* data, std::size_t size, std::size_t count, void* user) {
    const std::size_t bytes = size * count;
    auto* sink = static_cast<ResponseSink*>(user);
    if (sink && sink->text) {
        // Taking less than offered makes libcurl end the transfer with an error.
        if (sink->received + bytes > sink->limit) return 0;
        sink->text->append(data, bytes);
        sink->received += bytes;
    }
    return bytes;
}

long Millis(std::chrono::milliseconds value) { return static_cast<long>(value.count()); }

}  // namespace

HttpClient::HttpClient() { EnsureCurlGlobalInit(); }

HttpClient& HttpClient::Instance() {
    // A function-local static is created exactly once even when several threads
    // ask at the same time.
    static HttpClient instance;
    return instance;
}

int HttpClient::PostJson(std::string_view body, std::string_view url, std::string& response,
                         const HttpOptions& options) const {
    curl_slist* headers = curl_slist_append(nullptr, "Accept: application/json");
    CHandle<curl_slist, curl_slist_free_all> headerList(headers);
    if (!headers) return kFailure;
    headers = curl_slist_append(headers, "Content-Type:application/json;charset=UTF-8");
    if (!headers) return kFailure;

    CHandle<CURL, curl_easy_cleanup> easy(curl_easy_init());
    if (!easy) return kFailure;
    CURL* handle = easy.get();

    const std::string target(url);
    const std::string caFile = options.caFile.string();
    ResponseSink sink{&response, 0, options.maxResponseBytes};

    curl_easy_setopt(handle, CURLOPT_POST, 1L);
    curl_easy_setopt(handle, CURLOPT_URL, target.c_str());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headerList.get());
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!caFile.empty()) curl_easy_setopt(handle, CURLOPT_CAINFO, caFile.c_str());
    curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, Millis(options.timeout));
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, Millis(options.connectTimeout));
    // The size goes first so the body may hold any byte, a NUL included.
    curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(handle, CURLOPT_POSTFIELDS, body.empty() ? "" : body.data());
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, AppendResponse);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &sink);
    // No signals for the time-outs: safe on any thread.
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);

    const CURLcode code = curl_easy_perform(handle);
    LogLine("curl code:%d,strerror:%s\n", static_cast<int>(code), curl_easy_strerror(code));

    long status = 0;
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    // The caller's string may already hold text: only what this reply brought counts.
    if (code != CURLE_OK || status < 200 || status > 299 || sink.received == 0) return kFailure;
    return kSuccess;
}

}  // namespace brisklo
