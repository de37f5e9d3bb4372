// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/CActiveButton.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "WidgetTestSupport.h"
#include "controls/ControlRect.h"
#include "resources/SkinResources.h"

namespace {

// Four distinct skin images of one size: normal, pressed, focus, disabled.
constexpr int kNormal = 147, kPressed = 145, kFocus = 146, kDisabled = 151;

// A window that takes the focus whenever the mouse moves over its own surface.
class HoverWindow : public QWidget {
protected:
    void mouseMoveEvent(QMouseEvent*) override { setFocus(Qt::MouseFocusReason); }
};

class ActiveButtonTest : public WidgetTest {
protected:
    void SetUp() override {
        TestApp();
        m_Window.setMouseTracking(true);
        m_Window.setFocusPolicy(Qt::ClickFocus);
        m_Window.resize(200, 100);
        m_Button.Create("device config", RectFromLTRB(20, 30, 99, 49), &m_Window, 104);
        m_Window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_Window));
    }

    void ExpectShows(int id) { EXPECT_EQ(Grab(m_Button), Rgb32(LoadSkinBitmap(id))) << id; }

    HoverWindow m_Window;
    CActiveButton m_Button;
};

}  // namespace

TEST_F(ActiveButtonTest, CreatePlacesAndShowsTheButton) {
    EXPECT_EQ(m_Button.geometry(), QRect(20, 30, 79, 19));
    EXPECT_EQ(m_Button.parentWidget(), &m_Window);
    EXPECT_TRUE(m_Button.isVisible());
    EXPECT_EQ(m_Button.Id(), 104);
}

TEST_F(ActiveButtonTest, DrawsTheImageOfItsStateByPrecedence) {
    m_Button.LoadBitmaps(kNormal, kPressed, kFocus, kDisabled);
    ExpectShows(kNormal);

    m_Button.setFocus();
    ASSERT_TRUE(m_Button.hasFocus());
    ExpectShows(kFocus);

    m_Button.setDown(true);  // pressed wins over focus
    ExpectShows(kPressed);
    m_Button.setDown(false);

    m_Window.setFocus();
    ExpectShows(kNormal);

    m_Button.setEnabled(false);
    ExpectShows(kDisabled);
    m_Button.setDown(true);  // pressed wins over disabled
    ExpectShows(kPressed);
}

TEST_F(ActiveButtonTest, MissingImagesFallBackToNormal) {
    m_Button.LoadBitmaps(kNormal, 0, 9999, 0);
    m_Button.setFocus();
    ExpectShows(kNormal);
    m_Button.setDown(true);
    ExpectShows(kNormal);
    m_Button.setDown(false);
    m_Button.setEnabled(false);
    ExpectShows(kNormal);
}

TEST_F(ActiveButtonTest, DrawsNothingButTheImage) {
    // A button larger than its image shows the image from its top-left corner; the rest stays
    // one plain colour: no text, no frame, no focus mark.
    m_Button.setGeometry(20, 30, 100, 30);
    m_Button.setText(QStringLiteral("MMMM MMMM"));
    m_Button.LoadBitmaps(kNormal, kPressed, kFocus, kDisabled);
    m_Button.setFocus();
    const QImage shown = Grab(m_Button);
    EXPECT_EQ(shown.copy(0, 0, 79, 19), Rgb32(LoadSkinBitmap(kFocus)));
    const QRgb rest = shown.pixel(99, 29);
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            if (x >= 79 || y >= 19) {
                ASSERT_EQ(shown.pixel(x, y), rest) << x << "," << y;
            }
        }
    }
}

TEST_F(ActiveButtonTest, ClickSpaceAndEnterReportTheCommand) {
    m_Button.LoadBitmaps(kNormal, kPressed, kFocus, kDisabled);
    QSignalSpy commands(&m_Button, &CActiveButton::Command);

    QTest::mouseClick(&m_Button, Qt::LeftButton);
    ASSERT_EQ(commands.count(), 1);
    EXPECT_EQ(commands.at(0).at(0).toInt(), 104);

    m_Button.setFocus();
    QTest::keyClick(&m_Button, Qt::Key_Space);
    EXPECT_EQ(commands.count(), 2);
    QTest::keyClick(&m_Button, Qt::Key_Return);
    QTest::keyClick(&m_Button, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(commands.count(), 4);
    QTest::keyClick(&m_Button, Qt::Key_A);
    EXPECT_EQ(commands.count(), 4);

    m_Button.setEnabled(false);
    QTest::mouseClick(&m_Button, Qt::LeftButton);
    QTest::keyClick(&m_Button, Qt::Key_Return);
    EXPECT_EQ(commands.count(), 4) << "a disabled button reports nothing";
}

TEST_F(ActiveButtonTest, FocusFollowsTheMouse) {
    m_Button.LoadBitmaps(kNormal, kPressed, kFocus, kDisabled);
    CActiveButton other;
    other.Create("", RectFromLTRB(120, 30, 199, 49), &m_Window, 105);
    other.LoadBitmaps(kNormal, kPressed, kFocus, kDisabled);

    QTest::mouseMove(&m_Button, QPoint(10, 5));
    QTest::mouseMove(&m_Button, QPoint(12, 6));
    EXPECT_TRUE(m_Button.hasFocus()) << "the move must not reach the window behind";
    ExpectShows(kFocus);

    QTest::mouseMove(&other, QPoint(10, 5));
    QTest::mouseMove(&other, QPoint(11, 5));
    EXPECT_TRUE(other.hasFocus());
    ExpectShows(kNormal);

    QTest::mouseMove(&m_Window, QPoint(5, 90));
    QTest::mouseMove(&m_Window, QPoint(6, 90));
    EXPECT_FALSE(other.hasFocus());
    EXPECT_EQ(Grab(other), Rgb32(LoadSkinBitmap(kNormal)));
}
