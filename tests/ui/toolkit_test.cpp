// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <map>
#include <thread>

#include "test_support.h"
#include "ui/controls.h"
#include "ui/ui_call.h"
#include "ui/window_base.h"

namespace brisklo::ui {
namespace {
using namespace std::chrono_literals;

class TestWindow : public WindowBase {
  public:
    QString skinFile() const override {
        return QString::fromStdString(test::FixturePath("ToolkitTest.xml").string());
    }
    void initWindow() override { initialised = true; }
    void notify(const Notification& n) override { notifications.push_back(n); }
    int handleCustomMessage(int number, const std::any& payload, bool& handled) override {
        if (number != 4242) return WindowBase::handleCustomMessage(number, payload, handled);
        onUiThread = onUiThread && QThread::currentThread() == thread();
        const auto [sender, sequence] = std::any_cast<std::pair<int, int>>(payload);
        received[sender].push_back(sequence);
        return 0;
    }
    bool onClose() override { return allowClose; }

    bool initialised = false;
    bool allowClose = true;
    bool onUiThread = true;
    std::vector<Notification> notifications;
    std::map<int, std::vector<int>> received;
};

class ToolkitTest : public ::testing::Test {
  protected:
    void SetUp() override { window.create(); }
    TestWindow window;
};

TEST_F(ToolkitTest, LayoutIsBuiltAndSetUpOnce) {
    EXPECT_TRUE(window.initialised);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("工具测试"));
    EXPECT_EQ(Text(window.control(QStringLiteral("go"))), QStringLiteral("Go"));
}

TEST_F(ToolkitTest, MissingControlFailsLoudlyNamingLayoutAndControl) {
    try {
        window.control(QStringLiteral("nope"));
        FAIL() << "no error";
    } catch (const SkinError& error) {
        EXPECT_NE(std::string(error.what()).find("ToolkitTest.xml"), std::string::npos);
        EXPECT_NE(std::string(error.what()).find("\"nope\""), std::string::npos);
    }
}

TEST_F(ToolkitTest, NamedControlsNotifyTheirWindow) {
    window.show();
    QTest::mouseClick(window.control<QPushButton>(QStringLiteral("go")), Qt::LeftButton);
    SetChecked(window.control(QStringLiteral("option")), true);
    SetChecked(window.control(QStringLiteral("choice")), true);
    SetValue(window.control(QStringLiteral("level")), 23);
    auto* pick = window.control<QComboBox>(QStringLiteral("pick"));
    pick->setFocus();
    QTest::keyClick(pick, Qt::Key_Down);

    std::vector<std::pair<QString, QString>> seen;
    for (const auto& n : window.notifications) seen.emplace_back(n.type, n.senderName);
    const std::vector<std::pair<QString, QString>> expected = {
        {kClick, QStringLiteral("go")},
        {kSelectChanged, QStringLiteral("option")},
        {kSelectChanged, QStringLiteral("choice")},
        {kValueChanged, QStringLiteral("level")},
        {kItemSelect, QStringLiteral("pick")},
    };
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(window.notifications[3].value, 23);
    EXPECT_EQ(window.notifications[4].value, 1);
}

TEST_F(ToolkitTest, MouseDisabledControlKeepsItsLookButIgnoresClicks) {
    window.show();
    auto* go = window.control<QPushButton>(QStringLiteral("go"));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // Clicks go through the window, which routes them to the control under the point.
    const QPoint centre = go->mapTo(&window, go->rect().center());
    SetMouseEnabled(go, false);
    EXPECT_FALSE(IsMouseEnabled(go));
    EXPECT_TRUE(go->isEnabled());  // not greyed out
    const QImage before = go->grab().toImage();
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, centre);
    EXPECT_TRUE(window.notifications.empty());
    EXPECT_EQ(go->grab().toImage(), before);

    SetMouseEnabled(go, true);
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, centre);
    ASSERT_EQ(window.notifications.size(), 1u);
    EXPECT_EQ(window.notifications[0].senderName, QStringLiteral("go"));
}

TEST_F(ToolkitTest, TextColourFromArgbIsWhatIsPainted) {
    auto* note = window.control<QLabel>(QStringLiteral("note"));
    SetTextColor(note, 0xFF10C00B);
    EXPECT_EQ(TextColor(note), 0xFF10C00Bu);
    note->ensurePolished();
    EXPECT_EQ(note->palette().color(QPalette::WindowText), QColor(0x10, 0xC0, 0x0B));
    SetTextColor(note, 0xFFFF0000);
    note->ensurePolished();
    EXPECT_EQ(note->palette().color(QPalette::WindowText), QColor(255, 0, 0));
}

TEST_F(ToolkitTest, SliderAndTagAccess) {
    QWidget* level = window.control(QStringLiteral("level"));
    EXPECT_EQ(MinValue(level), 5);
    EXPECT_EQ(MaxValue(level), 51);
    SetValue(level, 99);
    EXPECT_EQ(Value(level), 51);
    SetTag(level, 17);
    EXPECT_EQ(Tag(level), 17);
    SetCurrentIndex(window.control(QStringLiteral("pick")), 1);
    EXPECT_EQ(CurrentIndex(window.control(QStringLiteral("pick"))), 1);
}

TEST_F(ToolkitTest, PostsFromManyThreadsArriveInOrderOnTheUiThread) {
    constexpr int kThreads = 4;
    constexpr int kEach = 300;
    std::vector<std::thread> senders;
    for (int t = 0; t < kThreads; ++t) {
        senders.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i) window.post(4242, std::pair{t, i});
        });
    }
    for (auto& sender : senders) sender.join();
    ASSERT_TRUE(QTest::qWaitFor([&] {
        int total = 0;
        for (const auto& [sender, list] : window.received) total += static_cast<int>(list.size());
        return total == kThreads * kEach;
    }));
    EXPECT_TRUE(window.onUiThread);
    for (const auto& [sender, list] : window.received) {
        EXPECT_TRUE(std::is_sorted(list.begin(), list.end())) << "sender " << sender;
    }
}

TEST(PostBox, LatePostsToAGoneWindowAreDropped) {
    std::shared_ptr<PostBox> box;
    {
        TestWindow window;
        window.create();
        box = window.postBox();
    }
    box->Post(4242, std::pair{0, 0});  // must neither crash nor deliver
    QCoreApplication::processEvents();
    SUCCEED();
}

TEST_F(ToolkitTest, ModalRunReturnsTheCloseValueAndOnCloseCanRefuse) {
    QTimer::singleShot(0, &window, [&] { window.closeWith(7); });
    EXPECT_EQ(window.runModal(), 7);

    window.allowClose = false;
    QTimer::singleShot(0, &window, [&] {
        QTest::keyClick(&window, Qt::Key_Escape);  // refused
        EXPECT_TRUE(window.isVisible());
        window.closeWith(3);  // the window's own close always goes through
    });
    EXPECT_EQ(window.runModal(), 3);
}

TEST_F(ToolkitTest, WorkerReadsAreAnsweredOnTheUiThreadAndCanBeCancelled) {
    SetValue(window.control(QStringLiteral("level")), 30);
    std::optional<int> answer;
    std::thread reader([&] {
        answer = CallOnUiThread<int>(&window, [&] {
            EXPECT_EQ(QThread::currentThread(), window.thread());
            return Value(window.control(QStringLiteral("level")));
        });
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return answer.has_value(); }));
    reader.join();
    EXPECT_EQ(answer, 30);

    // The UI thread is busy (here: joining); a cancelled read gives up.
    std::atomic<bool> cancel{false};
    std::optional<int> late = 1;
    std::thread waiting([&] {
        late = CallOnUiThread<int>(
            &window, [] { return 5; }, &cancel);
    });
    std::this_thread::sleep_for(100ms);
    cancel = true;
    waiting.join();
    EXPECT_FALSE(late.has_value());
    QCoreApplication::processEvents();  // the queued read still runs harmlessly
}

}  // namespace
}  // namespace brisklo::ui
