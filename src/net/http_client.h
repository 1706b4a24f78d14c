// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace brisklo {

// Limits and trust of one request. The defaults are the product's; tests shorten
// the time-outs and hand over the certificate of their loopback server.
struct HttpOptions {
    std::chrono::milliseconds timeout{10'000};         // the whole request
    std::chrono::milliseconds connectTimeout{10'000};  // the connection phase
    // Certificates of the authorities to trust; empty: the system's store.
    std::filesystem::path caFile;
    // A reply longer than this is cut off and the request fails.
    std::size_t maxResponseBytes = 8 * 1024 * 1024;
};

// The one place that talks JSON to the vendor's web service. Requests are
// synchronous, may run on several threads at once, and verify the server's
// certificate (peer and host name).
class HttpClient {
  public:
    static constexpr int kSuccess = 0;
    static constexpr int kFailure = -1;

    // The process-wide client, created on first use from any thread; creating it
    // initialises libcurl.
    static HttpClient& Instance();

    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // POSTs body byte for byte to url with the headers "Accept: application/json"
    // and "Content-Type:application/json;charset=UTF-8", and appends the reply
    // body to response exactly as it arrives, whatever the status. Prints
    // "curl code:<n>,strerror:<text>". Returns kSuccess, or kFailure when the
    // transfer failed, the status is outside 200..299 or the body is empty.
    [[nodiscard]] int PostJson(std::string_view body, std::string_view url, std::string& response,
                               const HttpOptions& options = {}) const;

  private:
    HttpClient();
    ~HttpClient() = default;
};

}  // namespace brisklo
