#include "net/installer_download.h"

#include <curl/curl.h>
#include <glog/logging.h>

#include <algorithm>
#include <exception>
#include <memory>
#include <optional>
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

DownloadOutcome Failure(DownloadStatus status, std::string reason) {
    DownloadOutcome outcome;
    outcome.status = status;
    outcome.reason = std::move(reason);
    return outcome;
}

// libcurl's detailed message when it left one, else the text for the code.
std::string CurlReason(CURLcode code, const std::vector<char>& details) {
    if (!details.empty() && details.front() != '\0') return details.data();
    return curl_easy_strerror(code);
}

// Options the size request and the data request share.
Easy MakeEasy(const std::string& url, const DownloadRequest& request, std::vector<char>& details) {
    Easy easy(curl_easy_init());
    if (!easy) return easy;
    CURL* handle = easy.get();
    details.assign(CURL_ERROR_SIZE, '\0');
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, details.data());
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
    // https only, redirects included: an installer never travels unprotected.
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "https");
    curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "https");
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!request.caFile.empty()) {
        curl_easy_setopt(handle, CURLOPT_CAINFO, request.caFile.c_str());
    }
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, Millis(request.connectTimeout));
    // Less than a byte a second for the stall time ends the transfer.
    const auto stallSeconds =
        std::max<long>(1, static_cast<long>((request.stallTimeout.count() + 999) / 1000));
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, stallSeconds);
    return easy;
}

}  // namespace

// What the data request's write callback works with.
struct InstallerDownload::Transfer {
    CURL* easy = nullptr;
    PartialFile* file = nullptr;
    const ProgressCallback* progress = nullptr;
    std::uint64_t expected = 0;
    std::uint64_t received = 0;
    int lastPercent = 0;
    bool statusChecked = false;
    bool httpError = false;
    bool writeFailed = false;
    bool oversized = false;

    static std::size_t Write(char* data, std::size_t size, std::size_t count, void* user) {
        auto* self = static_cast<Transfer*>(user);
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
            return 0;  // taking less than offered ends the transfer
        }
        if (!self->file->Write(std::string_view(data, bytes))) {
            self->writeFailed = true;
            return 0;
        }
        self->received += bytes;
        // Integer arithmetic: exact truncation, no rounding surprises near a boundary.
        const int percent = static_cast<int>(self->received * 100 / self->expected);
        if (percent != self->lastPercent) {
            self->lastPercent = percent;
            if (*self->progress) {
                try {
                    (*self->progress)(percent);
                } catch (...) {
                    // A display problem must not end the download.
                }
            }
        }
        return bytes;
    }
};

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
                if (finished) finished(outcome);
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
        const InstallerAddress address = ParseInstallerAddress(m_request.url);
        if (address.verdict == AddressVerdict::NotHttps) {
            return Finish(Failure(DownloadStatus::InsecureAddress, address.reason));
        }
        if (address.verdict != AddressVerdict::Usable) {
            return Finish(Failure(DownloadStatus::InvalidAddress, address.reason));
        }
        const fs::path folder = m_request.folder.empty() ? GetAppDataPath("Brisklo/Temp")
                                                         : CreateDirectoryTree(m_request.folder);

        EnsureCurlGlobalInit();
        Multi multi(curl_multi_init());
        if (!multi) return Finish(Failure(DownloadStatus::NetworkError, "libcurl is unusable"));
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
        if (m_cancel) return Finish(Failure(DownloadStatus::Cancelled, "cancelled"));

        // Each transfer runs on the multi handle so that Cancel can wake its wait.
        auto perform = [&](CURL* easy) {
            if (curl_multi_add_handle(multi.get(), easy) != CURLM_OK) return CURLE_FAILED_INIT;
            CURLcode result = CURLE_ABORTED_BY_CALLBACK;
            for (;;) {
                int running = 0;
                if (curl_multi_perform(multi.get(), &running) != CURLM_OK) {
                    result = CURLE_FAILED_INIT;
                    break;
                }
                if (running == 0) {
                    int left = 0;
                    result = CURLE_FAILED_INIT;
                    while (CURLMsg* message = curl_multi_info_read(multi.get(), &left)) {
                        if (message->msg == CURLMSG_DONE && message->easy_handle == easy) {
                            result = message->data.result;
                        }
                    }
                    break;
                }
                if (m_cancel) break;
                if (curl_multi_poll(multi.get(), nullptr, 0, kPollMs, nullptr) != CURLM_OK) {
                    result = CURLE_FAILED_INIT;
                    break;
                }
            }
            curl_multi_remove_handle(multi.get(), easy);
            return result;
        };

        // The size request.
        std::vector<char> details;
        std::uint64_t expected = 0;
        {
            Easy head = MakeEasy(address.url, m_request, details);
            if (!head) return Finish(Failure(DownloadStatus::NetworkError, "libcurl is unusable"));
            curl_easy_setopt(head.get(), CURLOPT_NOBODY, 1L);
            const CURLcode code = perform(head.get());
            if (m_cancel) return Finish(Failure(DownloadStatus::Cancelled, "cancelled"));
            if (code != CURLE_OK) {
                return Finish(
                    Failure(DownloadStatus::NetworkError,
                            "cannot reach " + address.url + ": " + CurlReason(code, details)));
            }
            long status = 0;
            curl_easy_getinfo(head.get(), CURLINFO_RESPONSE_CODE, &status);
            if (!IsSuccessStatus(status)) {
                return Finish(Failure(
                    DownloadStatus::HttpError,
                    "the server answered " + std::to_string(status) + " for " + address.url));
            }
            curl_off_t length = -1;
            curl_easy_getinfo(head.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
            if (length <= 0) {
                return Finish(Failure(DownloadStatus::UnknownLength,
                                      "the server did not announce the size of " +
                                          address.fileName +
                                          ", so a complete download could not be told "
                                          "from a cut one"));
            }
            expected = static_cast<std::uint64_t>(length);
        }

        // The data request.
        Result<PartialFile> created = PartialFile::Create(folder, address.fileName);
        if (!created) return Finish(Failure(DownloadStatus::FileError, created.error().message));
        PartialFile file = std::move(created).value();

        Easy get = MakeEasy(address.url, m_request, details);
        if (!get) return Finish(Failure(DownloadStatus::NetworkError, "libcurl is unusable"));
        Transfer transfer;
        transfer.easy = get.get();
        transfer.file = &file;
        transfer.progress = &progress;
        transfer.expected = expected;
        curl_easy_setopt(get.get(), CURLOPT_WRITEFUNCTION, &Transfer::Write);
        curl_easy_setopt(get.get(), CURLOPT_WRITEDATA, &transfer);
        const CURLcode code = perform(get.get());

        DownloadOutcome outcome;
        outcome.bytesReceived = transfer.received;
        outcome.bytesExpected = expected;
        const std::string counts =
            std::to_string(transfer.received) + " of " + std::to_string(expected) + " bytes";
        long status = 0;
        curl_easy_getinfo(get.get(), CURLINFO_RESPONSE_CODE, &status);

        if (code == CURLE_OK && IsSuccessStatus(status) && transfer.received == expected) {
            Result<fs::path> saved = file.Commit();
            if (!saved) return Finish(Failure(DownloadStatus::FileError, saved.error().message));
            outcome.status = DownloadStatus::Completed;
            outcome.file = saved.value();
            return Finish(std::move(outcome));
        }
        if (m_cancel) {
            outcome.status = DownloadStatus::Cancelled;
            outcome.reason = "cancelled after " + counts;
        } else if (transfer.httpError || (code == CURLE_OK && !IsSuccessStatus(status))) {
            outcome.status = DownloadStatus::HttpError;
            outcome.reason =
                "the server answered " + std::to_string(status) + " for " + address.url;
        } else if (transfer.writeFailed) {
            outcome.status = DownloadStatus::FileError;
            outcome.reason = "cannot write " + file.partialPath().string();
        } else if (transfer.oversized) {
            outcome.status = DownloadStatus::OversizedTransfer;
            outcome.reason = "the server sent more than the " + std::to_string(expected) +
                             " bytes it announced for " + address.fileName;
        } else if (code != CURLE_OK && transfer.received == 0) {
            outcome.status = DownloadStatus::NetworkError;
            outcome.reason = "cannot download " + address.url + ": " + CurlReason(code, details);
        } else {
            outcome.status = DownloadStatus::ShortTransfer;
            outcome.reason = "the download of " + address.fileName + " ended after " + counts;
            if (code != CURLE_OK) outcome.reason += ": " + CurlReason(code, details);
        }
        // The partial file goes with `file` as it leaves scope.
        return Finish(std::move(outcome));
    } catch (const std::exception& error) {
        return Finish(Failure(DownloadStatus::FileError,
                              std::string("the download failed: ") + error.what()));
    }
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
