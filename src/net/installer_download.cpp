// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/installer_download.h"

#include <curl/curl.h>
#include <glog/logging.h>
#include <openssl/evp.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <exception>
#include <fstream>
#include <memory>
#include <vector>

#include "core/file_utils.h"
#include "net/curl_global.h"
#include "net/installer_address.h"
#include "net/partial_file.h"

namespace brisklo {
namespace fs = std::filesystem;

namespace {

struct EasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct MultiDeleter {
    void operator()(CURLM* handle) const { curl_multi_cleanup(handle); }
};
using Easy = std::unique_ptr<CURL, EasyDeleter>;
using Multi = std::unique_ptr<CURLM, MultiDeleter>;

constexpr int kPollMs = 1000;  // Cancel wakes the poll earlier

bool IsSuccessStatus(long status) { return status >= 200 && status <= 299; }

long Millis(std::chrono::milliseconds value) { return static_cast<long>(value.count()); }

bool EqualHex(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

DownloadOutcome Failure(DownloadStatus status, std::string reason) {
    DownloadOutcome outcome;
    outcome.status = status;
    outcome.reason = std::move(reason);
    return outcome;
}

// One request with its own handle and the place libcurl leaves its detailed
// error message.
struct Request {
    Easy easy;
    std::vector<char> details = std::vector<char>(CURL_ERROR_SIZE, '\0');

    // libcurl's detailed message when it left one, else the text for the code.
    std::string Reason(CURLcode code) const {
        if (details.front() != '\0') return details.data();
        return curl_easy_strerror(code);
    }
    long Status() const {
        long status = 0;
        curl_easy_getinfo(easy.get(), CURLINFO_RESPONSE_CODE, &status);
        return status;
    }
};

// Options the size request and the data request share. Null when libcurl cannot
// make a handle.
std::unique_ptr<Request> MakeRequest(const std::string& url, const DownloadRequest& settings) {
    auto request = std::make_unique<Request>();
    request->easy.reset(curl_easy_init());
    if (!request->easy) return nullptr;
    CURL* handle = request->easy.get();
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, request->details.data());
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
    // https only, redirects included: an installer never travels unprotected.
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "https");
    curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "https");
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!settings.caFile.empty()) {
        curl_easy_setopt(handle, CURLOPT_CAINFO, settings.caFile.c_str());
    }
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, Millis(settings.connectTimeout));
    // Less than a byte a second for the stall time ends the transfer.
    const long stallSeconds =
        std::max<long>(1, static_cast<long>((settings.stallTimeout.count() + 999) / 1000));
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, stallSeconds);
    return request;
}

// Runs one request on the multi handle, so that a cancel can wake its wait for
// data at once. A cancelled request ends with CURLE_ABORTED_BY_CALLBACK.
CURLcode Perform(CURLM* multi, CURL* easy, const std::atomic<bool>& cancel) {
    if (curl_multi_add_handle(multi, easy) != CURLM_OK) return CURLE_FAILED_INIT;
    CURLcode result = CURLE_ABORTED_BY_CALLBACK;
    for (;;) {
        int running = 0;
        if (curl_multi_perform(multi, &running) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            break;
        }
        if (running == 0) {
            int left = 0;
            result = CURLE_FAILED_INIT;
            while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
                if (message->msg == CURLMSG_DONE && message->easy_handle == easy) {
                    result = message->data.result;
                }
            }
            break;
        }
        if (cancel) break;
        if (curl_multi_poll(multi, nullptr, 0, kPollMs, nullptr) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            break;
        }
    }
    curl_multi_remove_handle(multi, easy);
    return result;
}

// The data request's body on its way into the partial file.
struct DataTransfer {
    CURL* easy = nullptr;
    PartialFile* file = nullptr;
    const InstallerDownload::ProgressCallback* progress = nullptr;
    std::uint64_t expected = 0;
    std::uint64_t received = 0;
    int lastPercent = 0;
    bool statusChecked = false;
    bool httpError = false;
    bool writeFailed = false;
    bool oversized = false;

    // libcurl's write callback; taking less than offered ends the transfer.
    static std::size_t Write(char* data, std::size_t size, std::size_t count, void* user) {
        auto* self = static_cast<DataTransfer*>(user);
        const std::size_t bytes = size * count;
        if (!self->statusChecked) {
            // An error page is never taken for the installer, nor shown as progress.
            long status = 0;
            curl_easy_getinfo(self->easy, CURLINFO_RESPONSE_CODE, &status);
            self->statusChecked = true;
            self->httpError = !IsSuccessStatus(status);
        }
        if (self->httpError) return 0;
        if (self->received + bytes > self->expected) {
            self->oversized = true;
            return 0;
        }
        if (!self->file->Write(std::string_view(data, bytes))) {
            self->writeFailed = true;
            return 0;
        }
        self->received += bytes;
        self->Report();
        return bytes;
    }

    void Report() {
        // Integer arithmetic: exact truncation, no rounding surprises near a boundary.
        const int percent = static_cast<int>(received * 100 / expected);
        if (percent == lastPercent) return;
        lastPercent = percent;
        if (!*progress) return;
        try {
            (*progress)(percent);
        } catch (...) {
            // A display problem must not end the download.
        }
    }
};

// Names what ended a data request that did not bring the whole installer.
DownloadOutcome JudgeUnfinished(const DataTransfer& transfer, const Request& request, CURLcode code,
                                bool cancelled, const InstallerAddress& address) {
    DownloadOutcome outcome;
    outcome.bytesReceived = transfer.received;
    outcome.bytesExpected = transfer.expected;
    const std::string counts =
        std::to_string(transfer.received) + " of " + std::to_string(transfer.expected) + " bytes";
    const long status = request.Status();
    if (cancelled) {
        outcome.status = DownloadStatus::Cancelled;
        outcome.reason = "cancelled after " + counts;
    } else if (transfer.httpError || (code == CURLE_OK && !IsSuccessStatus(status))) {
        outcome.status = DownloadStatus::HttpError;
        outcome.reason = "the server answered " + std::to_string(status) + " for " + address.url;
    } else if (transfer.writeFailed) {
        outcome.status = DownloadStatus::FileError;
        outcome.reason = "cannot write " + transfer.file->partialPath().string();
    } else if (transfer.oversized) {
        outcome.status = DownloadStatus::OversizedTransfer;
        outcome.reason = "the server sent more than the " + std::to_string(transfer.expected) +
                         " bytes it announced for " + address.fileName;
    } else if (code != CURLE_OK && transfer.received == 0) {
        outcome.status = DownloadStatus::NetworkError;
        outcome.reason = "cannot download " + address.url + ": " + request.Reason(code);
    } else {
        outcome.status = DownloadStatus::ShortTransfer;
        outcome.reason = "the download of " + address.fileName + " ended after " + counts;
        if (code != CURLE_OK) outcome.reason += ": " + request.Reason(code);
    }
    return outcome;
}

}  // namespace

Result<std::string> FileSha256(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return Error{"cannot read " + path.string()};
    const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(),
                                                                          &EVP_MD_CTX_free);
    if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1) {
        return Error{"cannot compute the SHA-256 of " + path.string()};
    }
    std::vector<char> buffer(1 << 16);
    while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0) {
        EVP_DigestUpdate(context.get(), buffer.data(), static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) return Error{"cannot read " + path.string()};
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int length = 0;
    EVP_DigestFinal_ex(context.get(), digest.data(), &length);
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned int i = 0; i < length; ++i) {
        hex += kDigits[digest[i] >> 4];
        hex += kDigits[digest[i] & 0xF];
    }
    return hex;
}

InstallerDownload::InstallerDownload(DownloadRequest request) : m_request(std::move(request)) {}

InstallerDownload::~InstallerDownload() {
    Cancel();
    Join();
}

bool InstallerDownload::Start(ProgressCallback progress, FinishedCallback finished) {
    if (m_started.exchange(true)) return false;
    try {
        m_thread =
            std::thread([this, progress = std::move(progress), finished = std::move(finished)] {
                const DownloadOutcome outcome = Download(progress);
                if (!finished) return;
                try {
                    finished(outcome);
                } catch (...) {
                    // Nothing may escape the thread; the outcome was delivered.
                }
            });
    } catch (const std::exception&) {
        m_started = false;
        return false;
    }
    return true;
}

DownloadOutcome InstallerDownload::Run(const ProgressCallback& progress) {
    if (m_started.exchange(true)) {
        return Failure(DownloadStatus::NetworkError, "this download has already been started");
    }
    return Download(progress);
}

void InstallerDownload::Cancel() {
    m_cancel = true;
    std::lock_guard lock(m_multiMutex);
    if (m_multi) curl_multi_wakeup(m_multi);
}

void InstallerDownload::Join() {
    if (!m_thread.joinable()) return;
    if (m_thread.get_id() == std::this_thread::get_id()) {
        // Destroyed from its own finished callback: nothing of this object is used
        // after that callback, so the thread may run out on its own.
        m_thread.detach();
        return;
    }
    m_thread.join();
}

DownloadOutcome InstallerDownload::Download(const ProgressCallback& progress) {
    try {
        return Finish(Fetch(progress));
    } catch (const std::exception& error) {
        return Finish(Failure(DownloadStatus::FileError,
                              std::string("the download failed: ") + error.what()));
    }
}

DownloadOutcome InstallerDownload::Fetch(const ProgressCallback& progress) {
    const InstallerAddress address = ParseInstallerAddress(m_request.url);
    if (address.verdict == AddressVerdict::NotHttps) {
        return Failure(DownloadStatus::InsecureAddress, address.reason);
    }
    if (address.verdict != AddressVerdict::Usable) {
        return Failure(DownloadStatus::InvalidAddress, address.reason);
    }
    const fs::path folder = m_request.folder.empty() ? GetAppDataPath("Brisklo/Temp")
                                                     : CreateDirectoryTree(m_request.folder);

    EnsureCurlGlobalInit();
    Multi multi(curl_multi_init());
    if (!multi) return Failure(DownloadStatus::NetworkError, "libcurl is unusable");
    {
        std::lock_guard lock(m_multiMutex);
        m_multi = multi.get();
    }
    // Cancel must never wake a handle that is gone.
    struct Unregister {
        InstallerDownload& self;
        ~Unregister() {
            std::lock_guard lock(self.m_multiMutex);
            self.m_multi = nullptr;
        }
    } unregister{*this};
    if (m_cancel) return Failure(DownloadStatus::Cancelled, "cancelled");

    // The size request.
    std::uint64_t expected = 0;
    {
        const auto head = MakeRequest(address.url, m_request);
        if (!head) return Failure(DownloadStatus::NetworkError, "libcurl is unusable");
        curl_easy_setopt(head->easy.get(), CURLOPT_NOBODY, 1L);
        const CURLcode code = Perform(multi.get(), head->easy.get(), m_cancel);
        if (m_cancel) return Failure(DownloadStatus::Cancelled, "cancelled");
        if (code != CURLE_OK) {
            return Failure(DownloadStatus::NetworkError,
                           "cannot reach " + address.url + ": " + head->Reason(code));
        }
        if (const long status = head->Status(); !IsSuccessStatus(status)) {
            return Failure(DownloadStatus::HttpError,
                           "the server answered " + std::to_string(status) + " for " + address.url);
        }
        curl_off_t length = -1;
        curl_easy_getinfo(head->easy.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
        if (length <= 0) {
            return Failure(DownloadStatus::UnknownLength,
                           "the server did not announce the size of " + address.fileName +
                               ", so a complete download could not be told from a cut one");
        }
        expected = static_cast<std::uint64_t>(length);
        if (expected > m_request.maxBytes) {
            return Failure(DownloadStatus::TooLarge,
                           address.fileName + " is announced as " + std::to_string(expected) +
                               " bytes, more than an installer may have (" +
                               std::to_string(m_request.maxBytes) + ")");
        }
    }

    // The data request.
    Result<PartialFile> created = PartialFile::Create(folder, address.fileName);
    if (!created) return Failure(DownloadStatus::FileError, created.error().message);
    PartialFile file = std::move(created).value();
    const auto get = MakeRequest(address.url, m_request);
    if (!get) return Failure(DownloadStatus::NetworkError, "libcurl is unusable");
    DataTransfer transfer;
    transfer.easy = get->easy.get();
    transfer.file = &file;
    transfer.progress = &progress;
    transfer.expected = expected;
    curl_easy_setopt(get->easy.get(), CURLOPT_WRITEFUNCTION, &DataTransfer::Write);
    curl_easy_setopt(get->easy.get(), CURLOPT_WRITEDATA, &transfer);
    const CURLcode code = Perform(multi.get(), get->easy.get(), m_cancel);

    // Complete means every announced byte and not one more, with a clean end.
    if (code == CURLE_OK && IsSuccessStatus(get->Status()) && transfer.received == expected) {
        if (!m_request.sha256.empty()) {
            const auto sum = FileSha256(file.partialPath());
            if (!sum) return Failure(DownloadStatus::FileError, sum.error().message);
            if (!EqualHex(sum.value(), m_request.sha256)) {
                return Failure(DownloadStatus::ChecksumMismatch,
                               address.fileName + " has the SHA-256 " + sum.value() + ", not the " +
                                   m_request.sha256 + " the upgrade reply gave");
            }
        }
        Result<fs::path> saved = file.Commit();
        if (!saved) return Failure(DownloadStatus::FileError, saved.error().message);
        DownloadOutcome outcome;
        outcome.status = DownloadStatus::Completed;
        outcome.file = saved.value();
        outcome.bytesReceived = outcome.bytesExpected = expected;
        return outcome;
    }
    // The partial file is removed as `file` leaves scope.
    return JudgeUnfinished(transfer, *get, code, m_cancel, address);
}

DownloadOutcome InstallerDownload::Finish(DownloadOutcome outcome) const {
    outcome.cancelRequested = m_cancel.load();
    if (outcome.status != DownloadStatus::Completed &&
        outcome.status != DownloadStatus::Cancelled) {
        LOG(ERROR) << "installer download failed (" << DescribeStatus(outcome.status)
                   << "): " << outcome.reason;
    }
    return outcome;
}

}  // namespace brisklo
