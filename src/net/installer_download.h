// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "core/result.h"
#include "net/download_outcome.h"

namespace brisklo {

// What an installer may weigh; an announced size beyond it is refused.
inline constexpr std::uint64_t kMaxInstallerBytes = 512ull << 20;

// The SHA-256 of a file in lower-case hex, or an error naming the file.
Result<std::string> FileSha256(const std::filesystem::path& path);

struct DownloadRequest {
    std::string url;  // must be https and end in the installer's file name
    // Where the installer is saved; empty: "Brisklo/Temp" under the data folder.
    // Made when missing.
    std::filesystem::path folder;
    // Certificates of the authorities to trust; empty: the system's store.
    std::filesystem::path caFile;
    std::chrono::milliseconds connectTimeout{10'000};
    // A transfer that brings no byte for this long fails.
    std::chrono::milliseconds stallTimeout{30'000};
    // A larger announced size is refused before any byte is fetched.
    std::uint64_t maxBytes = kMaxInstallerBytes;
    // The installer's SHA-256 in hex when the upgrade reply gave one: a file with
    // another is removed instead of offered. Empty: TLS alone vouches for it.
    std::string sha256;
};

// Downloads an installer with libcurl: a HEAD for its length, then a GET into a
// hidden partial file that is renamed to the installer's name only when exactly
// the announced number of bytes has arrived. Redirects are followed to https
// addresses only.
//
// Progress goes to the callback as a whole percentage each time it changes; the
// callback and the finished callback run on the download thread, so a dialog
// hands them to its own thread. Cancel can be called from any thread and takes
// effect at once, even while the server sends nothing.
class InstallerDownload {
  public:
    using ProgressCallback = std::function<void(int percent)>;
    using FinishedCallback = std::function<void(const DownloadOutcome&)>;

    explicit InstallerDownload(DownloadRequest request);
    // Cancels a running download and waits for its thread.
    ~InstallerDownload();
    InstallerDownload(const InstallerDownload&) = delete;
    InstallerDownload& operator=(const InstallerDownload&) = delete;

    // Runs the download on a thread of its own; finished is called exactly once,
    // on that thread, as its last act. The callbacks must not destroy this object.
    // False when a download was already started.
    bool Start(ProgressCallback progress, FinishedCallback finished);
    // Runs the download on the calling thread.
    DownloadOutcome Run(const ProgressCallback& progress);

    // Asks the download to stop; it only ever goes from false to true.
    void Cancel();
    bool cancelRequested() const { return m_cancel.load(); }
    // Waits for the thread started by Start.
    void Join();

  private:
    DownloadOutcome Download(const ProgressCallback& progress);
    DownloadOutcome Fetch(const ProgressCallback& progress);
    DownloadOutcome Finish(DownloadOutcome outcome) const;

    DownloadRequest m_request;
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_started{false};
    // Guards m_multi (libcurl's CURLM, kept opaque here), which Cancel wakes while
    // a transfer waits for data.
    std::mutex m_multiMutex;
    void* m_multi = nullptr;
    std::thread m_thread;
};

}  // namespace brisklo
