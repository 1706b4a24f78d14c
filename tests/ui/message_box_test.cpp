// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "dialogs/message_box_dialog.h"
#include "dialogs/message_boxes.h"
#include "dialogs/prompt_box_dialog.h"
#include "ui/controls.h"
#include "ui/shadow_bitmap.h"

namespace brisklo::dialogs {
namespace {

const QString kQuestion = QStringLiteral("正在压缩中,确定要退出吗?");
const QString kNotice = QStringLiteral("请先添加要压缩的文件!");
constexpr int kNotShown = -99;

bool Translucent() { return true; }

// Runs box modally; once it is on screen, does action to it. A box that never
// shows closes with kNotShown.
int RunThen(ui::WindowBase& box, const std::function<void()>& action) {
    QTimer::singleShot(0, &box, [&] {
        if (!QTest::qWaitForWindowExposed(&box)) {
            box.closeWith(kNotShown);
            return;
        }
        action();
    });
    return box.runModal();
}

QPushButton* Button(const ui::WindowBase& box, const char* name) {
    return box.control<QPushButton>(QString::fromLatin1(name));
}

TEST(MessageBoxDialog, ConfirmGivesOneAndCancelZero) {
    MessageBoxDialog confirmBox(nullptr, kQuestion, Translucent);
    confirmBox.create();
    EXPECT_EQ(RunThen(confirmBox,
                      [&] { QTest::mouseClick(Button(confirmBox, "msgConfirm"), Qt::LeftButton); }),
              1);

    MessageBoxDialog cancelBox(nullptr, kQuestion, Translucent);
    cancelBox.create();
    EXPECT_EQ(RunThen(cancelBox,
                      [&] { QTest::mouseClick(Button(cancelBox, "msgCancel"), Qt::LeftButton); }),
              0);
}

TEST(MessageBoxDialog, EscapeOrClosingTheWindowGivesZero) {
    MessageBoxDialog escBox(nullptr, kQuestion, Translucent);
    escBox.create();
    EXPECT_EQ(RunThen(escBox, [&] { QTest::keyClick(&escBox, Qt::Key_Escape); }), 0);

    MessageBoxDialog closedBox(nullptr, kQuestion, Translucent);
    closedBox.create();
    EXPECT_EQ(RunThen(closedBox, [&] { closedBox.close(); }), 0);
}

TEST(MessageBoxDialog, EnterConfirms) {
    MessageBoxDialog box(nullptr, kQuestion, Translucent);
    box.create();
    EXPECT_EQ(RunThen(box, [&] { QTest::keyClick(&box, Qt::Key_Return); }), 1);
}

TEST(PromptBoxDialog, ConfirmGivesOneEscapeZeroAndThereIsNoCancel) {
    PromptBoxDialog box(nullptr, kNotice, Translucent);
    box.create();
    EXPECT_EQ(box.findChild<QWidget*>(QStringLiteral("msgCancel")), nullptr);
    EXPECT_EQ(RunThen(box, [&] { QTest::mouseClick(Button(box, "msgConfirm"), Qt::LeftButton); }),
              1);
    EXPECT_EQ(RunThen(box, [&] { QTest::keyClick(&box, Qt::Key_Escape); }), 0);
}

TEST(MessageBoxDialog, IsACaptionlessModalCardCentredOnItsOwner) {
    QWidget owner;
    owner.setGeometry(60, 40, 700, 500);
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    MessageBoxDialog box(&owner, kQuestion, Translucent);
    box.create();
    QRect shownAt;
    QImage look;
    EXPECT_EQ(RunThen(box,
                      [&] {
                          shownAt = box.frameGeometry();
                          look = box.grab().toImage();
                          box.closeWith(1);
                      }),
              1);
    EXPECT_TRUE(box.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(box.windowType(), Qt::Dialog);
    EXPECT_TRUE(box.isModal());
    EXPECT_EQ(box.width(), 360);
    EXPECT_LE((shownAt.center() - owner.frameGeometry().center()).manhattanLength(), 1);

    // White card; confirm is the accent-filled button, right-aligned, cancel left of it.
    ASSERT_FALSE(look.isNull());
    EXPECT_EQ(look.pixelColor(12, look.height() / 2), QColor(0xFF, 0xFF, 0xFF));
    QPushButton* confirm = Button(box, "msgConfirm");
    QPushButton* cancel = Button(box, "msgCancel");
    const QPoint inConfirm = confirm->mapTo(&box, QPoint(4, confirm->height() / 2));
    EXPECT_EQ(look.pixelColor(inConfirm), QColor(0x2D, 0x7F, 0xF9));
    EXPECT_GT(confirm->mapTo(&box, QPoint(0, 0)).x(), cancel->mapTo(&box, QPoint(0, 0)).x());
    EXPECT_GE(confirm->mapTo(&box, QPoint(confirm->width(), 0)).x(), box.width() - 24);
    EXPECT_EQ(Button(box, "msgConfirm")->text(), QStringLiteral("确定"));
    EXPECT_EQ(Button(box, "msgCancel")->text(), QStringLiteral("取消"));
}

TEST(MessageBoxDialog, ShowsTheTextAndWrapsLongOnes) {
    MessageBoxDialog shortBox(nullptr, kQuestion, Translucent);
    shortBox.create();
    auto* label = shortBox.control<QLabel>(QStringLiteral("msgText"));
    EXPECT_EQ(ui::Text(label), kQuestion);
    EXPECT_EQ(shortBox.message(), kQuestion);
    const int shortHeight = shortBox.height();

    const QString longText = QStringLiteral(
        "无法读取文件 /home/someone/Videos/a-very-long-folder-name-without-any-spaces/"
        "and_an_even_longer_file_name_that_goes_on_and_on_1234567890.mp4,"
        "请检查文件是否存在以及是否有读取权限。");
    MessageBoxDialog longBox(nullptr, longText, Translucent);
    longBox.create();
    longBox.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&longBox));
    auto* longLabel = longBox.control<QLabel>(QStringLiteral("msgText"));
    EXPECT_EQ(ui::Text(longLabel).remove(QChar(0x200B)), longText);
    EXPECT_EQ(longBox.width(), 360);
    EXPECT_TRUE(longLabel->wordWrap());
    // Several lines, all inside the card: the box grew downwards only.
    EXPECT_GE(longLabel->height(), 3 * longLabel->fontMetrics().height());
    EXPECT_GT(longBox.height(), shortHeight);
    EXPECT_LE(longLabel->minimumSizeHint().width(), 360 - 44);
    EXPECT_LE(longLabel->geometry().right(), 360 - 20);
}

TEST(MessageBoxDialog, TextIsShownLiterally) {
    const QString markup = QStringLiteral("<b>not bold</b> & <i>x</i>");
    PromptBoxDialog box(nullptr, markup, Translucent);
    box.create();
    auto* label = box.control<QLabel>(QStringLiteral("msgText"));
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_EQ(ui::Text(label), markup);
}

TEST(MessageBoxDialog, HasAGreyFourPixelShadowFollowingItsRoundedCorners) {
    MessageBoxDialog box(nullptr, kQuestion, Translucent);
    box.create();
    QRect shadowAt;
    QRect boxAt;
    QImage shadow;
    bool shadowShown = false;
    RunThen(box, [&] {
        shadowShown = QTest::qWaitFor([&] {
            const QWidget* window = box.shadow().shadowWindow();
            return window && window->isVisible() &&
                   window->geometry() == box.frameGeometry().adjusted(-4, -4, 4, 4);
        });
        shadowAt = box.shadow().shadowWindow()->geometry();
        boxAt = box.frameGeometry();
        shadow = box.shadow().image();
        box.closeWith(0);
    });
    ASSERT_TRUE(shadowShown);
    EXPECT_EQ(shadowAt, boxAt.adjusted(-4, -4, 4, 4));
    EXPECT_EQ(box.shadow().style().size, 4);
    EXPECT_EQ(box.shadow().style().offsetX, 0);
    EXPECT_EQ(box.shadow().style().offsetY, 0);
    ASSERT_EQ(shadow.size(), boxAt.size() + QSize(8, 8));
    const ui::ShadowColor grey{0x9E, 0x9D, 0x9D};
    const int middle = shadow.height() / 2;
    EXPECT_EQ(shadow.pixel(3, middle), ui::PremultipliedPixel(grey, 100));
    EXPECT_EQ(shadow.pixel(0, middle), ui::PremultipliedPixel(grey, 24));
    EXPECT_EQ(shadow.pixel(shadow.width() / 2, middle), 0u);  // under the box
    // The box's corners are rounded off: the shadow shows where a square corner would be.
    EXPECT_GT(qAlpha(shadow.pixel(4, 4)), 0);
    EXPECT_FALSE(box.shadow().shadowWindow()->isVisible());  // went with the box
}

TEST(MessageBoxDialog, WithoutTranslucencyThereIsNoShadow) {
    MessageBoxDialog box(nullptr, kQuestion, [] { return false; });
    box.create();
    EXPECT_EQ(RunThen(box, [&] { QTest::mouseClick(Button(box, "msgConfirm"), Qt::LeftButton); }),
              1);
    EXPECT_FALSE(box.shadow().isAttached());
}

class BoxWithoutCancel : public MessageBoxDialog {
  public:
    using MessageBoxDialog::MessageBoxDialog;

  protected:
    QString skinFile() const override { return QStringLiteral("PromptBox.xml"); }
};

TEST(MessageBoxDialog, MissingControlIsReportedByTheBox) {
    BoxWithoutCancel box(nullptr, kQuestion, Translucent);
    try {
        box.create();
        FAIL() << "no error";
    } catch (const ui::SkinError& error) {
        const std::string what = error.what();
        EXPECT_EQ(what.rfind("MessageBoxDialog::Init", 0), 0u) << what;
        EXPECT_NE(what.find("\"msgCancel\""), std::string::npos) << what;
    }
}

TEST(MessageBoxes, ShowAndAnswerTheOpenBox) {
    QWidget owner;
    owner.setGeometry(60, 40, 700, 500);
    QString asked;
    QTimer answering;
    QObject::connect(&answering, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<BoxDialog*>(QApplication::activeModalWidget())) {
            asked = box->message();
            if (AnswerOpenBox(asked == kQuestion ? 0 : 1)) answering.stop();
        }
    });
    answering.start(10);
    EXPECT_EQ(ShowMessageBox(&owner, kQuestion), 0);
    EXPECT_EQ(asked, kQuestion);

    answering.start(10);
    ShowPromptBox(&owner, kNotice);
    EXPECT_EQ(asked, kNotice);
    EXPECT_FALSE(answering.isActive());
    EXPECT_FALSE(AnswerOpenBox(1));  // nothing open any more
}

TEST(MessageBoxes, ScriptedAnswersOpenNoWindowAndNest) {
    const auto openBoxes = [] {
        int count = 0;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (qobject_cast<BoxDialog*>(window)) ++count;
        }
        return count;
    };
    const int before = openBoxes();
    ScriptedBoxAnswers outer({0}, 1);
    EXPECT_EQ(ScriptedBoxAnswers::Current(), &outer);
    EXPECT_EQ(ShowMessageBox(nullptr, QStringLiteral("first")), 0);
    {
        ScriptedBoxAnswers inner({7});
        ShowPromptBox(nullptr, QStringLiteral("notice"));  // takes the 7
        EXPECT_EQ(ShowMessageBox(nullptr, QStringLiteral("inner")), 1);
        EXPECT_EQ(inner.texts(), (QStringList{QStringLiteral("notice"), QStringLiteral("inner")}));
    }
    EXPECT_EQ(ScriptedBoxAnswers::Current(), &outer);
    EXPECT_EQ(ShowMessageBox(nullptr, QStringLiteral("last")), 1);  // out of answers
    EXPECT_EQ(outer.texts(), (QStringList{QStringLiteral("first"), QStringLiteral("last")}));
    EXPECT_EQ(openBoxes(), before);
}

}  // namespace
}  // namespace brisklo::dialogs
