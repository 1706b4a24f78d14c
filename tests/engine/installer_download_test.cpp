// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/installer_download.h"

#include <glog/logging.h>
#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "net/installer_address.h"
#include "net_test_support.h"
#include "test_support.h"

namespace brisklo {
namespace {
namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::LoopbackServer;
using test::TempDir;
using test::TestPki;

std::string Payload(std::size_t size) {
    std::string data(size, '\0');
    for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<char>(i * 7 + 3);
    return data;
}

std::vector<fs::path> Entries(const fs::path& folder) {
    std::vector<fs::path> entries;
    for (const auto& entry : fs::directory_iterator(folder)) entries.push_back(entry.path());
    return entries;
}

DownloadRequest RequestFor(std::string url, const fs::path& folder) {
    DownloadRequest request;
    request.url = std::move(url);
    request.folder = folder;
    request.caFile = TestPki::Get().caFile();
    request.connectTimeout = test::kLoopbackConnectTimeout;
    request.stallTimeout = 2s;
    return request;
}

// Serves `data` at path in the given chunks, with a pause between them, and
// announces `announced` bytes (to HEAD and GET alike).
void ServeInChunks(httplib::Server& server, const std::string& path, std::string data,
                   std::vector<std::size_t> chunks, std::size_t announced) {
    server.Get(path, [=](const httplib::Request&, httplib::Response& res) {
        res.set_content_provider(announced, "application/octet-stream",
                                 [=](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                     std::size_t start = 0;
                                     for (std::size_t chunk : chunks) {
                                         if (start == offset) {
                                             if (start > 0) std::this_thread::sleep_for(100ms);
                                             sink.write(data.data() + start, chunk);
                                             return true;
                                         }
                                         start += chunk;
                                     }
                                     return false;  // nothing more: the connection is dropped
                                 });
    });
}

TEST(InstallerAddress, OnlyHttpsWithAFileName) {
    const InstallerAddress usable =
        ParseInstallerAddress("https://dl.example/v/setup_1.3.0.exe?sig=a/b#top");
    EXPECT_EQ(usable.verdict, AddressVerdict::Usable);
    EXPECT_EQ(usable.fileName, "setup_1.3.0.exe");
    EXPECT_EQ(ParseInstallerAddress("HTTPS://dl.example/a%2F..%2Fb.deb").fileName,
              "a%2F..%2Fb.deb");
    for (const char* insecure :
         {"http://dl.example/setup.exe", "ftp://dl.example/setup.exe", "file:///etc/passwd"}) {
        EXPECT_EQ(ParseInstallerAddress(insecure).verdict, AddressVerdict::NotHttps) << insecure;
    }
    for (const char* invalid : {"", "setup.exe", "https://dl.example/", "https://dl.example",
                                "https://dl.example/a/..", "https://dl example/x.exe"}) {
        EXPECT_EQ(ParseInstallerAddress(invalid).verdict, AddressVerdict::Invalid) << invalid;
    }
}

TEST(InstallerDownload, ReportsEachNewPercentageAndSavesTheInstaller) {
    const std::string data = Payload(500);
    LoopbackServer https(TestPki::Get().loopback());
    ServeInChunks(https.server(), "/v/setup_1.3.0.exe", data, {300, 200}, 500);
    https.Start();
    TempDir dir;
    InstallerDownload download(RequestFor(https.Url("/v/setup_1.3.0.exe"), dir / "Temp"));
    std::vector<int> shown;
    const DownloadOutcome outcome = download.Run([&](int percent) { shown.push_back(percent); });
    ASSERT_EQ(outcome.status, DownloadStatus::Completed) << outcome.reason;
    EXPECT_EQ(shown, (std::vector<int>{60, 100}));
    EXPECT_EQ(outcome.file, dir / "Temp" / "setup_1.3.0.exe");
    EXPECT_EQ(test::ReadFile(outcome.file), data);
    EXPECT_EQ(outcome.bytesReceived, 500u);
    EXPECT_EQ(outcome.bytesExpected, 500u);
    EXPECT_EQ(Entries(dir / "Temp").size(), 1u);  // no partial file left beside it
    EXPECT_EQ(NextStep(outcome, false), AfterDownload::OpenInstaller);
    EXPECT_EQ(NextStep(outcome, true), AfterDownload::OpenInstaller);
}

TEST(InstallerDownload, SavesIntoTheDataFolderByDefaultAndReplacesAnOlderCopy) {
    TempDir dir;
    test::ScopedEnv data("XDG_DATA_HOME", (dir / "data").string());
    const fs::path temp = dir / "data" / "Brisklo" / "Temp";
    fs::create_directories(temp);
    test::WriteFile(temp / "setup.exe", "an older installer");

    LoopbackServer https(TestPki::Get().loopback());
    https.server().Get("/setup.exe", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("new installer", "application/octet-stream");
    });
    https.Start();
    DownloadRequest request = RequestFor(https.Url("/setup.exe"), {});
    InstallerDownload download(request);
    const DownloadOutcome outcome = download.Run({});
    ASSERT_EQ(outcome.status, DownloadStatus::Completed) << outcome.reason;
    EXPECT_EQ(outcome.file, temp / "setup.exe");
    EXPECT_EQ(test::ReadFile(temp / "setup.exe"), "new installer");
}

TEST(InstallerDownload, CancelStopsAStalledTransferAtOnceAndLeavesNothing) {
    std::atomic<bool> release{false};
    LoopbackServer https(TestPki::Get().loopback());
    https.server().Get("/setup.exe", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content_provider(1000, "application/octet-stream",
                                 [&](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                     if (offset == 0) {
                                         sink.write(std::string(100, 'x').data(), 100);
                                         return true;
                                     }
                                     // Then nothing more until the test is done.
                                     for (int i = 0; i < 500 && !release; ++i)
                                         std::this_thread::sleep_for(10ms);
                                     return false;
                                 });
    });
    https.Start();
    TempDir dir;

    for (const bool mandatory : {false, true}) {
        InstallerDownload download(RequestFor(https.Url("/setup.exe"), dir.path()));
        std::promise<void> firstProgress;
        std::promise<DownloadOutcome> finished;
        ASSERT_TRUE(download.Start(
            [&, once = false](int percent) mutable {
                EXPECT_EQ(percent, 10);
                if (!once) firstProgress.set_value();
                once = true;
            },
            [&](const DownloadOutcome& outcome) { finished.set_value(outcome); }));
        EXPECT_FALSE(download.Start({}, {}));  // one download per object
        ASSERT_EQ(firstProgress.get_future().wait_for(3s), std::future_status::ready);

        const auto start = std::chrono::steady_clock::now();
        download.Cancel();
        auto result = finished.get_future();
        ASSERT_EQ(result.wait_for(3s), std::future_status::ready);
        // The server holds the transfer for 5 s; cancelling does not wait for it.
        EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
        download.Join();

        const DownloadOutcome outcome = result.get();
        EXPECT_EQ(outcome.status, DownloadStatus::Cancelled);
        EXPECT_TRUE(outcome.cancelRequested);
        EXPECT_EQ(outcome.bytesReceived, 100u);
        EXPECT_TRUE(Entries(dir.path()).empty());
        EXPECT_EQ(NextStep(outcome, mandatory),
                  mandatory ? AfterDownload::ExitProgram : AfterDownload::CloseDialog);
    }
    release = true;
}

TEST(InstallerDownload, DestroyingARunningDownloadCancelsAndJoinsIt) {
    std::atomic<bool> release{false};
    LoopbackServer https(TestPki::Get().loopback());
    https.server().Get("/setup.exe", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content_provider(10, "application/octet-stream",
                                 [&](std::size_t, std::size_t, httplib::DataSink&) {
                                     for (int i = 0; i < 500 && !release; ++i) {
                                         std::this_thread::sleep_for(10ms);
                                     }
                                     return false;
                                 });
    });
    https.Start();
    TempDir dir;
    std::atomic<int> finishedCalls{0};
    DownloadStatus status = DownloadStatus::Completed;
    const auto start = std::chrono::steady_clock::now();
    {
        InstallerDownload download(RequestFor(https.Url("/setup.exe"), dir.path()));
        ASSERT_TRUE(download.Start({}, [&](const DownloadOutcome& outcome) {
            status = outcome.status;
            ++finishedCalls;
        }));
        std::this_thread::sleep_for(100ms);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);  // not the 5 s the server holds
    EXPECT_EQ(finishedCalls, 1);
    EXPECT_EQ(status, DownloadStatus::Cancelled);
    EXPECT_TRUE(Entries(dir.path()).empty());
    release = true;
}

TEST(InstallerDownload, FewerBytesThanAnnouncedNeverCountAsComplete) {
    LoopbackServer https(TestPki::Get().loopback());
    // HEAD announces 500 bytes; the GET's own answer is a complete 300-byte body.
    https.server().Get("/short.exe", [](const httplib::Request& req, httplib::Response& res) {
        if (req.method == "HEAD") {
            res.set_content_provider(
                500, "application/octet-stream",
                [](std::size_t, std::size_t, httplib::DataSink&) { return false; });
        } else {
            res.set_content(std::string(300, 'x'), "application/octet-stream");
        }
    });
    // Announces 500 and drops the connection after 300.
    ServeInChunks(https.server(), "/cut.exe", Payload(500), {300}, 500);
    https.Start();

    for (const char* name : {"/short.exe", "/cut.exe"}) {
        TempDir dir;
        test::WriteFile(dir / (std::string(name).substr(1)), "older copy");
        InstallerDownload download(RequestFor(https.Url(name), dir.path()));
        std::vector<int> shown;
        const DownloadOutcome outcome =
            download.Run([&](int percent) { shown.push_back(percent); });
        EXPECT_EQ(outcome.status, DownloadStatus::ShortTransfer) << name << ": " << outcome.reason;
        EXPECT_NE(outcome.reason.find("300 of 500 bytes"), std::string::npos) << outcome.reason;
        EXPECT_EQ(shown, (std::vector<int>{60})) << name;
        EXPECT_TRUE(outcome.file.empty());
        // Only the older copy is there, untouched: the partial file is gone.
        ASSERT_EQ(Entries(dir.path()).size(), 1u) << name;
        EXPECT_EQ(test::ReadFile(dir / (std::string(name).substr(1))), "older copy");
        EXPECT_EQ(NextStep(outcome, true), AfterDownload::CloseDialog);
    }
}

TEST(InstallerDownload, MoreBytesThanAnnouncedAreRefused) {
    LoopbackServer https(TestPki::Get().loopback());
    https.server().Get("/long.exe", [](const httplib::Request& req, httplib::Response& res) {
        if (req.method == "HEAD") {
            res.set_content_provider(
                100, "application/octet-stream",
                [](std::size_t, std::size_t, httplib::DataSink&) { return false; });
        } else {
            res.set_content(std::string(500, 'x'), "application/octet-stream");
        }
    });
    https.Start();
    TempDir dir;
    InstallerDownload download(RequestFor(https.Url("/long.exe"), dir.path()));
    const DownloadOutcome outcome = download.Run({});
    EXPECT_EQ(outcome.status, DownloadStatus::OversizedTransfer) << outcome.reason;
    EXPECT_TRUE(Entries(dir.path()).empty());
}

// A size beyond what an installer may weigh is refused before the data is asked for.
TEST(InstallerDownload, AnAnnouncedSizeBeyondTheBoundIsRefused) {
    LoopbackServer https(TestPki::Get().loopback());
    ServeInChunks(https.server(), "/big.exe", Payload(500), {500}, 500);
    https.Start();
    TempDir dir;
    DownloadRequest request = RequestFor(https.Url("/big.exe"), dir.path());
    request.maxBytes = 400;
    InstallerDownload download(std::move(request));
    const DownloadOutcome outcome = download.Run({});
    EXPECT_EQ(outcome.status, DownloadStatus::TooLarge) << outcome.reason;
    EXPECT_TRUE(Entries(dir.path()).empty());
    EXPECT_EQ(DownloadRequest{}.maxBytes, 512ull << 20);
}

// With a digest from the upgrade reply, only a file that matches it is offered.
TEST(InstallerDownload, AFileWhoseDigestDiffersIsRemovedNotOffered) {
    const std::string data = Payload(500);
    LoopbackServer https(TestPki::Get().loopback());
    ServeInChunks(https.server(), "/setup.exe", data, {500}, 500);
    https.Start();
    TempDir dir;
    test::WriteFile(dir / "copy", data);
    const auto sum = FileSha256(dir / "copy");
    ASSERT_TRUE(sum.ok());

    DownloadRequest wrong = RequestFor(https.Url("/setup.exe"), dir / "wrong");
    wrong.sha256 = std::string(64, 'a');
    const DownloadOutcome refused = InstallerDownload(std::move(wrong)).Run({});
    EXPECT_EQ(refused.status, DownloadStatus::ChecksumMismatch) << refused.reason;
    EXPECT_TRUE(Entries(dir / "wrong").empty());

    DownloadRequest right = RequestFor(https.Url("/setup.exe"), dir / "right");
    right.sha256 = sum.value();
    for (char& c : right.sha256) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const DownloadOutcome taken = InstallerDownload(std::move(right)).Run({});
    ASSERT_EQ(taken.status, DownloadStatus::Completed) << taken.reason;
    EXPECT_EQ(test::ReadFile(taken.file), data);
}

TEST(InstallerDownload, EmptyInputHasTheKnownDigest) {
    TempDir dir;
    test::WriteFile(dir / "empty", "");
    const auto sum = FileSha256(dir / "empty");
    ASSERT_TRUE(sum.ok());
    EXPECT_EQ(sum.value(), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
}

TEST(InstallerDownload, NoAnnouncedLengthIsRefused) {
    LoopbackServer https(TestPki::Get().loopback());
    https.server().Get("/chunked.exe", [](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider("application/octet-stream",
                                         [](std::size_t offset, httplib::DataSink& sink) {
                                             if (offset == 0) sink.write("abc", 3);
                                             sink.done();
                                             return true;
                                         });
    });
    https.Start();
    TempDir dir;
    InstallerDownload download(RequestFor(https.Url("/chunked.exe"), dir.path()));
    const DownloadOutcome outcome = download.Run({});
    EXPECT_EQ(outcome.status, DownloadStatus::UnknownLength) << outcome.reason;
    EXPECT_TRUE(Entries(dir.path()).empty());
}

TEST(InstallerDownload, PlainHttpIsRefusedBeforeAnyRequest) {
    std::atomic<int> hits{0};
    LoopbackServer http;
    http.server().Get("/setup.exe", [&](const httplib::Request&, httplib::Response& res) {
        ++hits;
        res.set_content("installer", "application/octet-stream");
    });
    http.Start();
    TempDir dir;
    InstallerDownload download(RequestFor(http.Url("/setup.exe"), dir.path()));
    const DownloadOutcome outcome = download.Run({});
    EXPECT_EQ(outcome.status, DownloadStatus::InsecureAddress);
    EXPECT_NE(outcome.reason.find("https"), std::string::npos) << outcome.reason;
    EXPECT_EQ(hits, 0);
    EXPECT_TRUE(Entries(dir.path()).empty());
    EXPECT_EQ(NextStep(outcome, true), AfterDownload::CloseDialog);
}

TEST(InstallerDownload, RedirectToPlainHttpIsNotFollowed) {
    std::atomic<int> plainHits{0};
    LoopbackServer http;
    http.server().Get("/setup.exe", [&](const httplib::Request&, httplib::Response& res) {
        ++plainHits;
        res.set_content("installer", "application/octet-stream");
    });
    http.Start();
    LoopbackServer https(TestPki::Get().loopback());
    const std::string target = http.Url("/setup.exe");
    https.server().Get("/setup.exe", [&](const httplib::Request&, httplib::Response& res) {
        res.set_redirect(target);
    });
    https.Start();
    TempDir dir;
    InstallerDownload download(RequestFor(https.Url("/setup.exe"), dir.path()));
    const DownloadOutcome outcome = download.Run({});
    EXPECT_EQ(outcome.status, DownloadStatus::NetworkError) << outcome.reason;
    EXPECT_EQ(plainHits, 0);
    EXPECT_TRUE(Entries(dir.path()).empty());
}

TEST(InstallerDownload, ErrorStatusAndUntrustedServerFail) {
    LoopbackServer https(TestPki::Get().loopback());
    https.server().Get("/setup.exe", [](const httplib::Request&, httplib::Response& res) {
        res.status = 404;
        res.set_content("not here", "text/plain");
    });
    https.server().Get("/gone.exe", [](const httplib::Request& req, httplib::Response& res) {
        // The size request succeeds; the data request gets an error page.
        if (req.method != "HEAD") res.status = 500;
        res.set_content("an error page, not an installer", "text/plain");
    });
    https.Start();
    TempDir dir;
    {
        InstallerDownload download(RequestFor(https.Url("/setup.exe"), dir.path()));
        const DownloadOutcome outcome = download.Run({});
        EXPECT_EQ(outcome.status, DownloadStatus::HttpError) << outcome.reason;
        EXPECT_NE(outcome.reason.find("404"), std::string::npos) << outcome.reason;
    }
    {
        InstallerDownload download(RequestFor(https.Url("/gone.exe"), dir.path()));
        std::vector<int> shown;
        const DownloadOutcome outcome =
            download.Run([&](int percent) { shown.push_back(percent); });
        EXPECT_EQ(outcome.status, DownloadStatus::HttpError) << outcome.reason;
        EXPECT_TRUE(shown.empty());
    }
    {
        DownloadRequest request = RequestFor(https.Url("/setup.exe"), dir.path());
        request.caFile = TestPki::Get().strangerCaFile();
        InstallerDownload download(request);
        const DownloadOutcome outcome = download.Run({});
        EXPECT_EQ(outcome.status, DownloadStatus::NetworkError) << outcome.reason;
    }
    {
        InstallerDownload download(RequestFor(https.Url("/"), dir.path()));
        EXPECT_EQ(download.Run({}).status, DownloadStatus::InvalidAddress);
    }
    EXPECT_TRUE(Entries(dir.path()).empty());
}

TEST(InstallerDownload, UnwritableFolderIsAFileError) {
    LoopbackServer https(TestPki::Get().loopback());
    https.server().Get("/setup.exe", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("installer", "application/octet-stream");
    });
    https.Start();
    TempDir dir;
    test::WriteFile(dir / "occupied", "a file where the folder should be");
    InstallerDownload download(RequestFor(https.Url("/setup.exe"), dir / "occupied"));
    const DownloadOutcome outcome = download.Run({});
    EXPECT_EQ(outcome.status, DownloadStatus::FileError) << outcome.reason;
}

TEST(DownloadNextStep, MandatoryRules) {
    DownloadOutcome failed;
    failed.status = DownloadStatus::ShortTransfer;
    EXPECT_EQ(NextStep(failed, true), AfterDownload::CloseDialog);
    EXPECT_EQ(NextStep(failed, false), AfterDownload::CloseDialog);
    failed.cancelRequested = true;  // cut short while the user was cancelling
    EXPECT_EQ(NextStep(failed, true), AfterDownload::ExitProgram);
    EXPECT_EQ(NextStep(failed, false), AfterDownload::CloseDialog);
    DownloadOutcome done;
    done.status = DownloadStatus::Completed;
    done.cancelRequested = true;  // cancel came after the last byte
    EXPECT_EQ(NextStep(done, true), AfterDownload::OpenInstaller);
}

// Keeps what glog sends while it is registered.
class CapturingSink : public google::LogSink {
  public:
    struct Line {
        google::LogSeverity severity;
        std::string file;
        int line;
        std::string text;
    };
    CapturingSink() { google::AddLogSink(this); }
    ~CapturingSink() override { google::RemoveLogSink(this); }
    void send(google::LogSeverity severity, const char*, const char* baseFilename, int line,
              const google::LogMessageTime&, const char* message, std::size_t length) override {
        std::lock_guard lock(m_mutex);
        m_lines.push_back({severity, baseFilename, line, std::string(message, length)});
    }
    std::vector<Line> lines() const {
        std::lock_guard lock(m_mutex);
        return m_lines;
    }

  private:
    mutable std::mutex m_mutex;
    std::vector<Line> m_lines;
};

TEST(DownloadNextStep, AnInstallerThatCannotBeOpenedIsLogged) {
    CapturingSink sink;
    EXPECT_EQ(AfterInstallerOpen(true), AfterDownload::ExitProgram);
    EXPECT_TRUE(sink.lines().empty());
    EXPECT_EQ(AfterInstallerOpen(false), AfterDownload::CloseDialog);
    const auto lines = sink.lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].severity, google::GLOG_ERROR);
    EXPECT_EQ(lines[0].file, "HttpDownload");
    EXPECT_EQ(lines[0].line, 89);
    EXPECT_EQ(lines[0].text, "升级失败");
}

TEST(InstallerDownload, FailuresAreLoggedAtError) {
    CapturingSink sink;
    TempDir dir;
    InstallerDownload download(RequestFor("http://127.0.0.1:1/setup.exe", dir.path()));
    EXPECT_EQ(download.Run({}).status, DownloadStatus::InsecureAddress);
    const auto lines = sink.lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].severity, google::GLOG_ERROR);
    EXPECT_NE(lines[0].text.find("insecure address"), std::string::npos) << lines[0].text;
}

}  // namespace
}  // namespace brisklo
