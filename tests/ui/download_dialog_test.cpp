// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/download_dialog.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <QAbstractButton>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>
#include <atomic>
#include <thread>

#include "dialog_test_support.h"
#include "net_test_support.h"
#include "ui/controls.h"

namespace brisklo::dialogs {
namespace {
namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::LoopbackServer;
using test::TestPki;

std::string Payload(std::size_t size) {
    std::string data(size, '\0');
    for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<char>(i * 13 + 5);
    return data;
}

// Serves an installer over the loopback TLS server: `announced` bytes promised,
// the first `first` bytes at once, the rest only once `release` is set (or never,
// when `rest` is false: the connection is then dropped).
class InstallerServer {
  public:
    InstallerServer(std::string path, std::string data, std::size_t first, bool rest = true,
                    std::size_t announced = 0)
        : m_path(std::move(path)) {
        if (announced == 0) announced = data.size();
        m_https.server().Get(m_path, [=, this](const httplib::Request&, httplib::Response& res) {
            ++m_requests;
            res.set_content_provider(
                announced, "application/octet-stream",
                [=, this](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                    if (offset == 0) {
                        sink.write(data.data(), first);
                        return true;
                    }
                    for (int i = 0; i < 1000 && !m_release; ++i) std::this_thread::sleep_for(5ms);
                    if (!rest || !m_release) return false;
                    sink.write(data.data() + offset, data.size() - offset);
                    return true;
                });
        });
        m_https.Start();
    }
    ~InstallerServer() { m_release = true; }  // before the server waits for its handlers

    std::string Url() const { return m_https.Url(m_path); }
    void Release() { m_release = true; }
    int requests() const { return m_requests; }

  private:
    std::string m_path;
    std::atomic<bool> m_release{false};
    std::atomic<int> m_requests{0};
    LoopbackServer m_https{TestPki::Get().loopback()};
};

class DownloadDialogTest : public ::testing::Test {
  protected:
    std::unique_ptr<DownloadDialog> Open(const std::string& url, bool mandatory) {
        return Open(url, mandatory, desktop.Environment());
    }
    std::unique_ptr<DownloadDialog> Open(const std::string& url, bool mandatory,
                                         DialogEnvironment environment) {
        auto dialog = std::make_unique<DownloadDialog>(nullptr, url, mandatory, environment);
        dialog->create();
        finished = std::make_unique<QSignalSpy>(dialog.get(), &QDialog::finished);
        dialog->show();
        return dialog;
    }
    static QString PercentText(const DownloadDialog& dialog) {
        return ui::Text(dialog.control(QStringLiteral("download-text")));
    }
    static int SliderValue(const DownloadDialog& dialog) {
        return ui::Value(dialog.control(QStringLiteral("download-slider")));
    }
    bool WaitFinished() {
        return QTest::qWaitFor([&] { return finished->count() > 0; }, 10000);
    }
    std::size_t FilesLeft() const {
        const fs::path folder = desktop.downloadFolder();
        if (!fs::exists(folder)) return 0;
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }
    void ClickCancel(DownloadDialog& dialog) {
        QTest::mouseClick(dialog.control<QAbstractButton>(QStringLiteral("cancel")),
                          Qt::LeftButton);
    }

    test::DesktopRecorder desktop;
    std::unique_ptr<QSignalSpy> finished;
};

TEST_F(DownloadDialogTest, ShowsEachNewPercentageThenOpensTheInstallerAndEndsTheProgram) {
    const std::string data = Payload(500);
    InstallerServer server("/dl/setup_1.3.0.exe", data, 300);
    // What the dialog showed when it handed the installer to the desktop.
    QString textWhenOpened;
    int sliderWhenOpened = -1;
    std::unique_ptr<DownloadDialog> dialog;
    DialogEnvironment environment = desktop.Environment();
    environment.openUrl = [&, record = environment.openUrl](const QUrl& url) {
        textWhenOpened = PercentText(*dialog);
        sliderWhenOpened = SliderValue(*dialog);
        return record(url);
    };
    dialog = Open(server.Url(), /*mandatory=*/false, environment);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("升级下载"));
    EXPECT_EQ(PercentText(*dialog), QStringLiteral("0%"));

    ASSERT_TRUE(
        QTest::qWaitFor([&] { return PercentText(*dialog) == QStringLiteral("60%"); }, 10000));
    EXPECT_EQ(SliderValue(*dialog), 60);
    EXPECT_TRUE(desktop.opened.empty());
    server.Release();
    ASSERT_TRUE(WaitFinished());

    EXPECT_EQ(textWhenOpened, QStringLiteral("100%"));
    EXPECT_EQ(sliderWhenOpened, 100);
    ASSERT_EQ(desktop.opened.size(), 1u);
    const fs::path installer = desktop.downloadFolder() / "setup_1.3.0.exe";
    EXPECT_TRUE(desktop.opened.front().isLocalFile());
    EXPECT_EQ(desktop.opened.front().toLocalFile().toStdString(), installer.string());
    EXPECT_EQ(test::ReadFile(installer), data);
    // Opened: the program ends so that the installer can replace it.
    EXPECT_EQ(desktop.exitCodes, std::vector<int>{kInstallerExitCode});
    EXPECT_EQ(finished->at(0).at(0).toInt(), kDownloadDialogResult);
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(DownloadDialogTest, CancellingAnOptionalUpgradeOnlyClosesTheDialog) {
    InstallerServer server("/dl/setup.exe", Payload(1000), 100);
    auto dialog = Open(server.Url(), /*mandatory=*/false);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return PercentText(*dialog) == QStringLiteral("10%"); }, 10000));
    ClickCancel(*dialog);
    ASSERT_TRUE(WaitFinished());
    EXPECT_EQ(finished->at(0).at(0).toInt(), kDownloadDialogResult);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(desktop.exitCodes.empty());
    EXPECT_TRUE(desktop.opened.empty());
    EXPECT_EQ(FilesLeft(), 0u);  // the partial installer is gone
}

TEST_F(DownloadDialogTest, CancellingAMandatoryUpgradeEndsTheProgram) {
    InstallerServer server("/dl/setup.exe", Payload(1000), 100);
    auto dialog = Open(server.Url(), /*mandatory=*/true);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return PercentText(*dialog) == QStringLiteral("10%"); }, 10000));
    ClickCancel(*dialog);
    ASSERT_TRUE(WaitFinished());
    EXPECT_EQ(desktop.exitCodes, std::vector<int>{kInstallerExitCode});
    EXPECT_TRUE(desktop.opened.empty());
    EXPECT_EQ(FilesLeft(), 0u);
}

TEST_F(DownloadDialogTest, ClosingTheWindowCancelsAndWaitsForTheDownloadToStop) {
    InstallerServer server("/dl/setup.exe", Payload(1000), 100);
    auto dialog = Open(server.Url(), /*mandatory=*/true);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return PercentText(*dialog) == QStringLiteral("10%"); }, 10000));
    dialog->reject();  // Esc or the window's close button
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(finished->count(), 0);
    ASSERT_TRUE(WaitFinished());
    // Closing a mandatory upgrade is cancelling it.
    EXPECT_EQ(desktop.exitCodes, std::vector<int>{kInstallerExitCode});
}

TEST_F(DownloadDialogTest, AShortTransferIsNeverOpened) {
    InstallerServer server("/dl/setup.exe", Payload(500), 300, /*rest=*/false);
    server.Release();
    auto dialog = Open(server.Url(), /*mandatory=*/true);
    ASSERT_TRUE(WaitFinished());
    EXPECT_EQ(finished->at(0).at(0).toInt(), kDownloadDialogResult);
    EXPECT_TRUE(desktop.opened.empty());
    EXPECT_TRUE(desktop.exitCodes.empty());  // not cancelled: the program goes on
    EXPECT_EQ(FilesLeft(), 0u);
    EXPECT_EQ(PercentText(*dialog), QStringLiteral("60%"));
}

TEST_F(DownloadDialogTest, AnInstallerThatCannotBeOpenedIsLoggedAndTheProgramGoesOn) {
    InstallerServer server("/dl/setup.exe", Payload(200), 200);
    desktop.openSucceeds = false;
    testing::internal::CaptureStderr();
    auto dialog = Open(server.Url(), /*mandatory=*/true);
    const bool done = WaitFinished();
    const std::string log = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(done);
    EXPECT_EQ(desktop.opened.size(), 1u);
    EXPECT_TRUE(desktop.exitCodes.empty());
    EXPECT_NE(log.find("升级失败"), std::string::npos) << log;
    EXPECT_NE(log.find("HttpDownload:89"), std::string::npos) << log;
}

TEST_F(DownloadDialogTest, AnAddressThatIsNotHttpsIsRefusedWithANotice) {
    LoopbackServer plain;
    std::atomic<int> requests{0};
    plain.server().Get("/setup.exe", [&](const httplib::Request&, httplib::Response& res) {
        ++requests;
        res.set_content("installer", "application/octet-stream");
    });
    plain.Start();
    auto dialog = Open(plain.Url("/setup.exe"), /*mandatory=*/true);
    ASSERT_TRUE(WaitFinished());
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_FALSE(desktop.boxes[0].asked);
    EXPECT_EQ(desktop.boxes[0].text,
              QStringLiteral("安装包的下载地址不安全(只支持 https),已取消下载!"));
    EXPECT_EQ(desktop.boxes[0].owner, dialog.get());
    EXPECT_EQ(requests, 0);
    EXPECT_TRUE(desktop.opened.empty());
    EXPECT_TRUE(desktop.exitCodes.empty());
}

}  // namespace
}  // namespace brisklo::dialogs
