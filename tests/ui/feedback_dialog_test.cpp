// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/feedback_dialog.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <json/reader.h>
#include <json/value.h>

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <memory>
#include <mutex>

#include "dialog_test_support.h"
#include "net_test_support.h"
#include "ui/controls.h"

namespace brisklo::dialogs {
namespace {
using namespace std::chrono_literals;
using test::LoopbackServer;
using test::TestPki;

// The vendor's feedback endpoint on the loopback TLS server.
class FeedbackService {
  public:
    FeedbackService(int status, std::string reply) {
        m_https.server().Post("/v2/feedback", [this, status, reply](const httplib::Request& req,
                                                                    httplib::Response& res) {
            std::lock_guard lock(m_mutex);
            ++m_requests;
            m_body = req.body;
            res.status = status;
            res.set_content(reply, "application/json");
        });
        m_https.Start();
    }
    std::string Url() const { return m_https.Url(); }
    int requests() {
        std::lock_guard lock(m_mutex);
        return m_requests;
    }
    std::string body() {
        std::lock_guard lock(m_mutex);
        return m_body;
    }

  private:
    std::mutex m_mutex;
    int m_requests = 0;
    std::string m_body;
    LoopbackServer m_https{TestPki::Get().loopback()};
};

class FeedbackDialogTest : public ::testing::Test {
  protected:
    std::unique_ptr<FeedbackDialog> Make(const std::string& serviceUrl) {
        auto dialog = std::make_unique<FeedbackDialog>(nullptr, serviceUrl, desktop.Environment());
        dialog->create();
        return dialog;
    }
    static void Fill(FeedbackDialog& dialog, const QString& content, const QString& contact) {
        ui::SetText(dialog.control(QStringLiteral("feedbackContent")), content);
        ui::SetText(dialog.control(QStringLiteral("feedbackContact")), contact);
    }
    static void ClickSend(FeedbackDialog& dialog) {
        QTest::mouseClick(dialog.control<QAbstractButton>(QStringLiteral("feedbackBtn")),
                          Qt::LeftButton);
    }
    // Runs the dialog modally, typing and sending once it is up; returns its result.
    static int SendModally(FeedbackDialog& dialog, const QString& content, const QString& contact) {
        QTimer::singleShot(0, &dialog, [&dialog, content, contact] {
            Fill(dialog, content, contact);
            ClickSend(dialog);
        });
        return dialog.runModal();
    }
    static QString Tips(const FeedbackDialog& dialog) {
        return ui::Text(dialog.control(QStringLiteral("feedbackErrorTips")));
    }

    test::DesktopRecorder desktop;
};

TEST_F(FeedbackDialogTest, EmptyFieldsAreNamedAndNothingIsSent) {
    FeedbackService service(200, R"({"ret":0})");
    auto dialog = Make(service.Url());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("意见反馈"));
    dialog->show();

    Fill(*dialog, QString(), QStringLiteral("me@example.org"));
    ClickSend(*dialog);
    EXPECT_EQ(Tips(*dialog), QStringLiteral("反馈内容不能为空!"));
    Fill(*dialog, QStringLiteral("转换太慢"), QString());
    ClickSend(*dialog);
    EXPECT_EQ(Tips(*dialog), QStringLiteral("联系方式不能为空!"));

    QTest::qWait(200);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(service.requests(), 0);
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(FeedbackDialogTest, AChineseMessageArrivesAsUtf8AndTheDialogClosesAfterTheNotice) {
    FeedbackService service(200, R"({"ret":0})");
    auto dialog = Make(service.Url());
    const int result = SendModally(*dialog, QStringLiteral("压缩后的视频有点模糊,希望保留更多细节"),
                                   QStringLiteral("微信 brisk_user"));
    EXPECT_EQ(result, 1);
    EXPECT_FALSE(dialog->isVisible());
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_FALSE(desktop.boxes[0].asked);
    EXPECT_EQ(desktop.boxes[0].text, QStringLiteral("反馈信息已提交!"));
    // The notice belongs to the feedback dialog, in view (taking no input) while it is sent.
    EXPECT_EQ(desktop.boxes[0].owner, dialog.get());
    EXPECT_TRUE(desktop.boxes[0].ownerVisible);

    const std::string body = service.body();
    Json::Value parsed;
    std::string errors;
    const std::unique_ptr<Json::CharReader> reader(Json::CharReaderBuilder().newCharReader());
    ASSERT_TRUE(reader->parse(body.data(), body.data() + body.size(), &parsed, &errors)) << errors;
    EXPECT_EQ(parsed["content"].asString(), "压缩后的视频有点模糊,希望保留更多细节");
    EXPECT_EQ(parsed["contact"].asString(), "微信 brisk_user");
    // UTF-8 bytes on the wire, not \u escapes: 模糊
    EXPECT_NE(body.find("\xE6\xA8\xA1\xE7\xB3\x8A"), std::string::npos) << body;
}

TEST_F(FeedbackDialogTest, OnlyTheReplyBodyDecidesTheNotice) {
    {
        FeedbackService service(500, R"({"ret":0})");
        auto dialog = Make(service.Url());
        EXPECT_EQ(SendModally(*dialog, QStringLiteral("hi"), QStringLiteral("me")), 1);
    }
    {
        FeedbackService service(200, R"({"ret":7})");
        auto dialog = Make(service.Url());
        EXPECT_EQ(SendModally(*dialog, QStringLiteral("hi"), QStringLiteral("me")), 1);
    }
    ASSERT_EQ(desktop.boxes.size(), 2u);
    EXPECT_EQ(desktop.boxes[0].text, QStringLiteral("反馈信息已提交!"));
    EXPECT_EQ(desktop.boxes[1].text, QStringLiteral("未知错误"));
}

TEST_F(FeedbackDialogTest, ADeadServiceNeverFreezesTheUiThread) {
    // Accepts the connection, then never answers: the request runs into its time-out.
    test::SilentListener silent;
    DialogEnvironment environment = desktop.Environment();
    environment.http.connectTimeout = 1500ms;
    environment.http.timeout = 1500ms;
    FeedbackDialog dialog(nullptr, "https://127.0.0.1:" + std::to_string(silent.port()),
                          environment);
    dialog.create();

    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(20);
    QElapsedTimer clock;
    clock.start();
    qint64 elapsed = 0;
    // After the network error the dialog stays open with what was typed, to try again.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (desktop.boxes.empty() || !dialog.isEnabled()) return;
        poll.stop();
        elapsed = clock.elapsed();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(ui::Text(dialog.control(QStringLiteral("feedbackContent"))),
                  QStringLiteral("希望支持更多格式"));
        EXPECT_EQ(ui::Text(dialog.control(QStringLiteral("feedbackContact"))),
                  QStringLiteral("me@example.org"));
        EXPECT_EQ(Tips(dialog), QStringLiteral("网络错误!"));
        dialog.reject();
    });
    poll.start(20);
    EXPECT_EQ(
        SendModally(dialog, QStringLiteral("希望支持更多格式"), QStringLiteral("me@example.org")),
        0);

    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0].text, QStringLiteral("网络错误!"));
    EXPECT_GE(elapsed, 1000);
    // A timer every 20 ms keeps firing all through the request.
    EXPECT_GE(ticks, static_cast<int>(elapsed / 20 / 2))
        << ticks << " ticks in " << elapsed << " ms";
}

TEST_F(FeedbackDialogTest, TheMessageFieldTakesTheFocusShortlyAfterOpening) {
    auto dialog = Make("https://127.0.0.1:1");
    auto* contact = dialog->control<QLineEdit>(QStringLiteral("feedbackContact"));
    auto* content = dialog->control<QPlainTextEdit>(QStringLiteral("feedbackContent"));
    // Without the timer the window would keep the focus on the contact field.
    contact->setFocus();
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return content->hasFocus(); }, 2000));
    EXPECT_FALSE(contact->hasFocus());
}

TEST_F(FeedbackDialogTest, TheHelpLinkOpensTheHelpPage) {
    auto dialog = Make("https://service.invalid/");
    dialog->show();
    QTest::mouseClick(dialog->control<QAbstractButton>(QStringLiteral("contact-us")),
                      Qt::LeftButton);
    ASSERT_EQ(desktop.opened.size(), 1u);
    EXPECT_EQ(desktop.opened[0], QUrl(QStringLiteral("https://service.invalid/help/audio")));
    EXPECT_TRUE(dialog->isVisible());
}

}  // namespace
}  // namespace brisklo::dialogs
