// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window_shadow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPainterPath>
#include <QTest>
#include <memory>

#include "ui/shadow_bitmap.h"

// Readable geometry in failure messages.
void PrintTo(const QRect& rect, std::ostream* out) {
    *out << rect.x() << "," << rect.y() << " " << rect.width() << "x" << rect.height();
}

namespace brisklo::ui {
namespace {

const ShadowColor kGrey{0x9E, 0x9D, 0x9D};

std::uint32_t Alpha(QRgb pixel) { return pixel >> 24; }

// Records, for each event of interest, the shadow window's geometry as it is
// once the shadow has seen the event. Installed before the shadow attaches, it
// runs after the shadow's own filter.
class GeometryProbe : public QObject {
  public:
    explicit GeometryProbe(const CWndShadow& shadow) : m_shadow(shadow) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (!m_shadow.shadowWindow()) return false;
        const QRect geometry = m_shadow.shadowWindow()->geometry();
        if (event->type() == QEvent::Resize) afterResize.push_back(geometry);
        if (event->type() == QEvent::Paint) afterPaint.push_back(geometry);
        return false;
    }
    std::vector<QRect> afterResize;
    std::vector<QRect> afterPaint;

  private:
    const CWndShadow& m_shadow;
};

class WindowShadowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dialog.setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
        dialog.setGeometry(100, 100, 200, 120);
    }

    void AttachBoxShadow() {
        shadow.AttachTo(&dialog);
        ASSERT_TRUE(shadow.isAttached());
        ASSERT_TRUE(shadow.SetShadowSize(4));
        ASSERT_TRUE(shadow.SetShadowOffset(0, 0));
        ASSERT_TRUE(shadow.SetShadowColor(QColor(0x9E, 0x9D, 0x9D)));
    }

    QRect Around(int size) const {
        return dialog.frameGeometry().adjusted(-size, -size, size, size);
    }

    bool ShadowShowsAround(int size) const {
        QWidget* window = shadow.shadowWindow();
        return window && window->isVisible() && window->geometry() == Around(size) &&
               shadow.image().size() == Around(size).size();
    }

    QDialog dialog;
    CWndShadow shadow{[] { return true; }};
};

TEST_F(WindowShadowTest, ShowsAroundItsWindowAndFollowsMovesHidingAndShowing) {
    AttachBoxShadow();
    EXPECT_FALSE(shadow.shadowWindow()->isVisible());  // the window is not shown yet

    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ShadowShowsAround(4); }));
    const QImage image = shadow.image();
    EXPECT_EQ(image.format(), QImage::Format_ARGB32_Premultiplied);
    // Left of the window's straight edge, and the clear window area.
    EXPECT_EQ(image.pixel(3, 64), PremultipliedPixel(kGrey, 100));
    EXPECT_EQ(image.pixel(0, 64), PremultipliedPixel(kGrey, 24));
    EXPECT_EQ(image.pixel(4, 64), 0u);
    EXPECT_EQ(image.pixel(104, 64), 0u);
    EXPECT_EQ(image.pixel(0, 0), 0u);

    dialog.move(300, 220);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ShadowShowsAround(4); }));
    EXPECT_EQ(shadow.shadowWindow()->pos(), QPoint(296, 216));

    dialog.hide();
    EXPECT_FALSE(shadow.shadowWindow()->isVisible());
    dialog.move(150, 160);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ShadowShowsAround(4); }));
    EXPECT_EQ(shadow.shadowWindow()->pos(), QPoint(146, 156));
}

TEST_F(WindowShadowTest, GrowingRedrawsAtTheNextPaintShrinkingAtOnce) {
    GeometryProbe probe(shadow);
    dialog.installEventFilter(&probe);  // before the shadow's: sees events after it
    AttachBoxShadow();
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ShadowShowsAround(4); }));
    const QRect before = Around(4);

    probe.afterResize.clear();
    probe.afterPaint.clear();
    dialog.resize(260, 150);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ShadowShowsAround(4); }));
    ASSERT_FALSE(probe.afterResize.empty());
    EXPECT_EQ(probe.afterResize.front(), before);  // the size step left it alone
    ASSERT_FALSE(probe.afterPaint.empty());
    EXPECT_EQ(probe.afterPaint.front(), Around(4));  // the paint redrew it

    probe.afterResize.clear();
    dialog.resize(180, 100);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !probe.afterResize.empty(); }));
    EXPECT_EQ(probe.afterResize.front(), Around(4));  // redrawn with the size step
    EXPECT_TRUE(ShadowShowsAround(4));

    dialog.removeEventFilter(&probe);
}

TEST_F(WindowShadowTest, MinimisingAndMaximisingHideItAndRestoringShowsItAgain) {
    AttachBoxShadow();
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ShadowShowsAround(4); }));

    dialog.showMinimized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shadow.shadowWindow()->isVisible(); }));
    dialog.showNormal();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ShadowShowsAround(4); }));

    dialog.showMaximized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shadow.shadowWindow()->isVisible(); }));
    dialog.showNormal();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ShadowShowsAround(4); }));
    EXPECT_EQ(dialog.size(), QSize(200, 120));
}

TEST_F(WindowShadowTest, DefaultsPutTheShadowFivePixelsRightAndBelow) {
    shadow.AttachTo(&dialog);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QWidget* window = shadow.shadowWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return window->isVisible() && window->geometry() == dialog.frameGeometry().translated(5, 5);
    }));
    const QImage image = shadow.image();
    ASSERT_EQ(image.size(), QSize(200, 120));
    // Black, visible only to the right of and below the window.
    EXPECT_EQ(image.pixel(100, 60), 0u);
    EXPECT_EQ(image.pixel(195, 60), PremultipliedPixel({}, 125));
    EXPECT_EQ(image.pixel(100, 119), PremultipliedPixel({}, 24));
}

TEST_F(WindowShadowTest, OutOfRangeSizeOrOffsetIsRefusedAndChangesNothing) {
    AttachBoxShadow();
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ShadowShowsAround(4); }));
    const QImage before = shadow.image();

    EXPECT_FALSE(shadow.SetShadowSize(21));
    EXPECT_FALSE(shadow.SetShadowSize(-21));
    EXPECT_FALSE(shadow.SetShadowOffset(0, -21));
    EXPECT_FALSE(shadow.SetShadowOffset(21, 0));
    EXPECT_EQ(shadow.style().size, 4);
    EXPECT_EQ(shadow.style().offsetX, 0);
    EXPECT_EQ(shadow.style().offsetY, 0);
    EXPECT_EQ(shadow.shadowWindow()->geometry(), Around(4));
    EXPECT_EQ(shadow.image(), before);

    // Accepted values redraw the visible shadow at once.
    EXPECT_TRUE(shadow.SetShadowSize(20));
    EXPECT_EQ(shadow.shadowWindow()->geometry(), Around(20));
    EXPECT_TRUE(shadow.SetShadowOffset(-20, 20));
    EXPECT_EQ(shadow.shadowWindow()->geometry(), Around(20).translated(-20, 20));
    EXPECT_TRUE(shadow.SetShadowSize(-20));
    EXPECT_EQ(shadow.shadowWindow()->geometry().size(), QSize(160, 80));
    EXPECT_TRUE(shadow.SetShadowColor(Qt::red));
    EXPECT_EQ(shadow.style().color.red, 255);
}

TEST_F(WindowShadowTest, FollowsTheWindowsMaskNotItsRectangle) {
    QPainterPath path;
    path.addRoundedRect(QRectF(0, 0, 200, 120), 8, 8);
    dialog.setMask(QRegion(path.toFillPolygon().toPolygon()));
    AttachBoxShadow();
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ShadowShowsAround(4); }));
    const QImage image = shadow.image();
    // The window's corner pixel lies outside its mask: the shadow shows there.
    EXPECT_GT(Alpha(image.pixel(4, 4)), 0u);
    EXPECT_EQ(image.pixel(4 + 100, 4), 0u);  // inside the mask
    EXPECT_EQ(image.pixel(3, 64), PremultipliedPixel(kGrey, 100));
}

TEST_F(WindowShadowTest, RedrawsOnceMoreWhenAMoveEnds) {
    AttachBoxShadow();
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ShadowShowsAround(4); }));
    ASSERT_EQ(shadow.image().pixel(4, 4), 0u);  // square corner: covered by the window

    // A new shape alone does not redraw; the pause after a move does.
    QPainterPath path;
    path.addRoundedRect(QRectF(0, 0, 200, 120), 8, 8);
    dialog.setMask(QRegion(path.toFillPolygon().toPolygon()));
    dialog.move(140, 130);
    EXPECT_EQ(shadow.image().pixel(4, 4), 0u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Alpha(shadow.image().pixel(4, 4)) > 0; }, 2000));
    EXPECT_TRUE(ShadowShowsAround(4));
}

TEST_F(WindowShadowTest, ShadowWindowIsAFramelessClickThroughToolWindowWithoutFocus) {
    AttachBoxShadow();
    QWidget* window = shadow.shadowWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isWindow());
    EXPECT_EQ(window->parentWidget(), &dialog);
    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_TRUE(flags & Qt::FramelessWindowHint);
    EXPECT_TRUE(flags & Qt::WindowTransparentForInput);
    EXPECT_TRUE(flags & Qt::WindowDoesNotAcceptFocus);
    EXPECT_TRUE(window->testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_TRUE(window->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_TRUE(window->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_EQ(window->focusPolicy(), Qt::NoFocus);

    dialog.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ShadowShowsAround(4); }));
    EXPECT_NE(QApplication::activeWindow(), window);
}

TEST_F(WindowShadowTest, AttachesOnceOnly) {
    AttachBoxShadow();
    QWidget* first = shadow.shadowWindow();
    QDialog other;
    shadow.AttachTo(&other);
    shadow.AttachTo(&dialog);
    EXPECT_EQ(shadow.shadowWindow(), first);
    EXPECT_EQ(dialog.findChildren<QWidget*>(QStringLiteral("windowShadow")).size(), 1);
    EXPECT_TRUE(other.findChildren<QWidget*>(QStringLiteral("windowShadow")).isEmpty());
}

TEST(WindowShadow, OffscreenDesktopCountsAsTranslucent) {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("offscreen"));
    EXPECT_TRUE(DesktopShowsTranslucentWindows());
    QDialog dialog;
    CWndShadow shadow;  // asks the desktop
    shadow.AttachTo(&dialog);
    EXPECT_TRUE(shadow.isAttached());
}

TEST(WindowShadow, WithoutTranslucencyAttachingDoesNothing) {
    QDialog dialog;
    dialog.setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    dialog.setGeometry(100, 100, 200, 120);
    CWndShadow shadow([] { return false; });
    shadow.AttachTo(&dialog);
    EXPECT_FALSE(shadow.isAttached());
    EXPECT_EQ(shadow.shadowWindow(), nullptr);
    // The settings still check their ranges.
    EXPECT_TRUE(shadow.SetShadowSize(4));
    EXPECT_FALSE(shadow.SetShadowSize(21));

    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.resize(300, 200);
    QTest::qWait(50);
    EXPECT_TRUE(dialog.findChildren<QWidget*>(QStringLiteral("windowShadow")).isEmpty());
    for (QWidget* window : QApplication::topLevelWidgets()) {
        EXPECT_NE(window->objectName(), QStringLiteral("windowShadow"));
    }
}

TEST(WindowShadow, ShadowWindowGoesWithItsWindow) {
    auto dialog = std::make_unique<QDialog>();
    dialog->setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    CWndShadow shadow([] { return true; });
    shadow.AttachTo(dialog.get());
    QPointer<QWidget> window = shadow.shadowWindow();
    ASSERT_FALSE(window.isNull());
    dialog.reset();
    EXPECT_TRUE(window.isNull());
    EXPECT_FALSE(shadow.isAttached());
}

TEST(WindowShadow, ShadowWindowGoesWithTheShadow) {
    QDialog dialog;
    QPointer<QWidget> window;
    {
        CWndShadow shadow([] { return true; });
        shadow.AttachTo(&dialog);
        window = shadow.shadowWindow();
        ASSERT_FALSE(window.isNull());
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.isNull(); }));
    dialog.show();  // nothing follows it any more, nothing breaks
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
}

}  // namespace
}  // namespace brisklo::ui
