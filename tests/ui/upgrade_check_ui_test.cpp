// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <httplib.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <atomic>

#include "app/main_window.h"
#include "core/config_store.h"
#include "core/messages.h"
#include "dialog_test_support.h"
#include "dialogs/feedback_dialog.h"
#include "net_test_support.h"
#include "video/encoder_locator.h"

namespace brisklo::app {
namespace {
namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::LoopbackServer;
using test::TestPki;

// The vendor's service: the upgrade check and an installer, on the loopback
// TLS server.
class UpgradeService {
  public:
    UpgradeService() {
        m_https.server().Post("/v2/upgrade_check",
                              [this](const httplib::Request&, httplib::Response& res) {
                                  ++m_checks;
                                  std::lock_guard lock(m_mutex);
                                  res.set_content(m_reply, "application/json");
                              });
        m_https.server().Get("/dl/setup_1.3.0.exe",
                             [this](const httplib::Request& req, httplib::Response& res) {
                                 if (req.method == "GET") ++m_downloads;  // not the HEAD
                                 res.set_content(std::string(500, 'i'), "application/octet-stream");
                             });
        m_https.Start();
    }
    // Answers with app_version and force_upgrade as given (JSON text).
    void Offer(const std::string& version, const std::string& force) {
        std::lock_guard lock(m_mutex);
        m_reply = R"({"ret":0,"data":{"app_version":")" + version + R"(","download_url":")" +
                  InstallerUrl() + R"(","force_upgrade":)" + force + "}}";
    }
    std::string Url() const { return m_https.Url(); }
    std::string InstallerUrl() const { return m_https.Url("/dl/setup_1.3.0.exe"); }
    int checks() const { return m_checks; }
    int downloads() const { return m_downloads; }

  private:
    std::mutex m_mutex;
    std::string m_reply;
    std::atomic<int> m_checks{0};
    std::atomic<int> m_downloads{0};
    LoopbackServer m_https{TestPki::Get().loopback()};
};

class UpgradeCheckTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(config.Set(Setting::OutputDir, (desktop.dir / "out").string()));
        ASSERT_TRUE(config.Set(Setting::ServiceUrl, service.Url()));
        window.create();
        window.dialogEnvironment() = desktop.Environment();
    }
    bool WaitIdle() {
        return QTest::qWaitFor([&] { return !window.upgradeCheckBusy(); }, 15000);
    }

    test::DesktopRecorder desktop;
    UpgradeService service;
    ConfigStore config{desktop.dir / "configure.ini"};
    MainWindow window{config, FindEncoder()};
};

TEST_F(UpgradeCheckTest, StartUpOffersAnOptionalUpgradeAndDecliningDownloadsNothing) {
    service.Offer("99.0.1", "0");
    desktop.answer = 0;
    window.StartUpgradeCheck(/*quiet=*/true);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(service.checks(), 1);
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_TRUE(desktop.boxes[0].asked);
    EXPECT_EQ(desktop.boxes[0].text, QStringLiteral("发现新版本啦!"));
    EXPECT_EQ(desktop.boxes[0].owner, &window);
    EXPECT_EQ(service.downloads(), 0);
    EXPECT_TRUE(desktop.opened.empty());
    EXPECT_TRUE(desktop.exitCodes.empty());
}

TEST_F(UpgradeCheckTest, StartUpAcceptedOptionalUpgradeDownloadsAndOpensTheInstaller) {
    service.Offer("100.0.0", "0");
    desktop.answer = 1;
    window.StartUpgradeCheck(/*quiet=*/true);
    ASSERT_TRUE(WaitIdle());
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_TRUE(desktop.boxes[0].asked);
    ASSERT_EQ(desktop.opened.size(), 1u);
    EXPECT_EQ(desktop.opened[0].toLocalFile().toStdString(),
              (desktop.downloadFolder() / "setup_1.3.0.exe").string());
    EXPECT_EQ(desktop.exitCodes, std::vector<int>{0});
}

TEST_F(UpgradeCheckTest, StartUpAnnouncesAMandatoryUpgradeThenDownloadsIt) {
    service.Offer("99.3.0", R"("1")");  // the flag as text
    window.StartUpgradeCheck(/*quiet=*/true);
    ASSERT_TRUE(WaitIdle());
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_FALSE(desktop.boxes[0].asked);  // no way to decline
    EXPECT_EQ(desktop.boxes[0].text, QStringLiteral("发现新版本啦!"));
    EXPECT_EQ(service.downloads(), 1);
    ASSERT_EQ(desktop.opened.size(), 1u);
    EXPECT_EQ(test::ReadFile(desktop.downloadFolder() / "setup_1.3.0.exe"), std::string(500, 'i'));
    EXPECT_EQ(desktop.exitCodes, std::vector<int>{0});
}

TEST_F(UpgradeCheckTest, NothingNewerIsOnlySaidWhenTheUserAsked) {
    service.Offer(BRISKLO_VERSION, "0");
    window.StartUpgradeCheck(/*quiet=*/true);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(service.checks(), 1);
    EXPECT_TRUE(desktop.boxes.empty());

    // The main menu's upgrade item.
    window.post(static_cast<int>(MessageId::MenuUpgrade));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !desktop.boxes.empty(); }, 15000));
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(service.checks(), 2);
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_FALSE(desktop.boxes[0].asked);
    EXPECT_EQ(desktop.boxes[0].text, QStringLiteral("没有发现新版本!"));
    EXPECT_EQ(desktop.boxes[0].owner, &window);
}

TEST_F(UpgradeCheckTest, TheCheckNeverHoldsUpTheUiThread) {
    test::SilentListener silent;
    ASSERT_TRUE(
        config.Set(Setting::ServiceUrl, "https://127.0.0.1:" + std::to_string(silent.port())));
    window.dialogEnvironment().http.connectTimeout = 1500ms;
    window.dialogEnvironment().http.timeout = 1500ms;

    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(20);
    QElapsedTimer clock;
    clock.start();
    window.StartUpgradeCheck(/*quiet=*/false);
    EXPECT_LT(clock.elapsed(), 300);
    EXPECT_TRUE(window.upgradeCheckBusy());
    ASSERT_TRUE(WaitIdle());
    const qint64 elapsed = clock.elapsed();
    EXPECT_GE(elapsed, 1000);
    EXPECT_GE(ticks, static_cast<int>(elapsed / 20 / 2))
        << ticks << " ticks in " << elapsed << " ms";
    // Asked for by the user, a failed check says so, with the request's own words.
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_TRUE(desktop.boxes[0].text.startsWith(QStringLiteral("检查更新失败")))
        << desktop.boxes[0].text.toStdString();
    EXPECT_GT(desktop.boxes[0].text.indexOf(QLatin1Char('\n')), 0);
    EXPECT_EQ(desktop.boxes[0].owner, &window);
}

TEST_F(UpgradeCheckTest, AFailedCheckAtStartUpStaysQuietButTheMenuItemSaysSo) {
    // Nothing listens on the discard port: the request fails at once.
    ASSERT_TRUE(config.Set(Setting::ServiceUrl, "https://127.0.0.1:9"));
    window.StartUpgradeCheck(/*quiet=*/true);
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(desktop.boxes.empty());

    window.post(static_cast<int>(MessageId::MenuUpgrade));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !desktop.boxes.empty(); }, 15000));
    ASSERT_TRUE(WaitIdle());
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_TRUE(desktop.boxes[0].text.startsWith(QStringLiteral("检查更新失败")))
        << desktop.boxes[0].text.toStdString();
    // The detail names where the program asked.
    EXPECT_TRUE(desktop.boxes[0].text.contains(QStringLiteral("127.0.0.1:9/v2/upgrade_check")))
        << desktop.boxes[0].text.toStdString();
}

TEST_F(UpgradeCheckTest, AskingWhileTheStartUpCheckRunsReportsThroughIt) {
    service.Offer(BRISKLO_VERSION, "0");
    window.StartUpgradeCheck(/*quiet=*/true);
    window.StartUpgradeCheck(/*quiet=*/false);  // the user picks the menu item at once
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(service.checks(), 1);
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0].text, QStringLiteral("没有发现新版本!"));
}

TEST(MainWindowFeedback, TheFeedbackButtonOpensTheFeedbackDialogModally) {
    test::DesktopRecorder desktop;
    ConfigStore config{desktop.dir / "configure.ini"};
    ASSERT_TRUE(config.Set(Setting::OutputDir, (desktop.dir / "out").string()));
    MainWindow window{config, FindEncoder()};
    window.create();
    window.dialogEnvironment() = desktop.Environment();
    window.show();

    QString title;
    bool wasModal = false;
    // Closes the dialog once it is up; gives up (and fails) after a while.
    int attempts = 0;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        auto* dialog = window.findChild<dialogs::FeedbackDialog*>();
        if (dialog && dialog->isVisible()) {
            title = dialog->windowTitle();
            wasModal = dialog->isModal() && QApplication::activeModalWidget() == dialog;
            dialog->reject();
        } else if (++attempts > 200) {
            if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
        }
    });
    closer.start(10);
    window.control<QAbstractButton>(QStringLiteral("feedback"))->click();
    closer.stop();

    EXPECT_EQ(title, QStringLiteral("意见反馈"));
    EXPECT_TRUE(wasModal);
    EXPECT_EQ(window.findChild<dialogs::FeedbackDialog*>(), nullptr);  // gone with its run
}

}  // namespace
}  // namespace brisklo::app
