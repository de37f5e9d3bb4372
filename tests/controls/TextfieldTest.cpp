// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/CTextfield.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QTest>
#include <atomic>
#include <cmath>
#include <thread>

#include "WidgetTestSupport.h"
#include "controls/ControlRect.h"
#include "controls/PathEllipsis.h"
#include "resources/SkinResources.h"

namespace {

const QColor kOn(242, 129, 73);
const QColor kOff(146, 67, 38);

int Distance(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
           std::abs(qBlue(a) - qBlue(b));
}

// The drawn pixel that differs most from the background: the core of a glyph.
QRgb StrongestInk(const QImage& drawn, const QImage& background) {
    QRgb strongest = background.pixel(0, 0);
    int most = 0;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            const int d = Distance(drawn.pixel(x, y), background.pixel(x, y));
            if (d > most) {
                most = d;
                strongest = drawn.pixel(x, y);
            }
        }
    }
    return strongest;
}

class TextfieldTest : public WidgetTest {
protected:
    void SetUp() override {
        TestApp();
        m_Window.resize(300, 60);
        m_Field.m_TextColor = kOn;
        m_Field.m_DisabledTextColor = kOff;
        m_Field.Create(RectFromLTRB(37, 20, 272, 32), &m_Window, 108);
        m_Field.SetBackground(157);
        m_Window.show();
    }

    // What the field draws with no text.
    QImage Blank() {
        CTextfield blank;
        blank.Create(m_Field.geometry(), &m_Window, 0);
        blank.SetBackground(157);
        return Grab(blank);
    }

    QWidget m_Window;
    CTextfield m_Field;
};

}  // namespace

TEST_F(TextfieldTest, EmptyTextDrawsTheBackgroundOnly) {
    EXPECT_EQ(m_Field.geometry(), QRect(37, 20, 235, 12));
    EXPECT_TRUE(m_Field.isVisible());
    EXPECT_EQ(Grab(m_Field), Rgb32(LoadSkinBitmap(157)));
}

TEST_F(TextfieldTest, SmallBackgroundIsExtendedFromItsEdge) {
    m_Field.SetBackground(156);  // 230 x 11 for a 235 x 12 field
    const QImage image = Rgb32(LoadSkinBitmap(156));
    const QImage shown = Grab(m_Field);
    EXPECT_EQ(shown.copy(0, 0, 230, 11), image);
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 235; ++x) {
            const QRgb edge = image.pixel(std::min(x, 229), std::min(y, 10));
            ASSERT_EQ(shown.pixel(x, y), edge) << x << "," << y;
        }
    }
}

TEST_F(TextfieldTest, TextColourFollowsTheEnabledState) {
    const QImage background = Rgb32(LoadSkinBitmap(157));
    m_Field.SetText("/home/anna/Pictures");
    const QRgb enabledInk = StrongestInk(Grab(m_Field), background);
    EXPECT_LT(Distance(enabledInk, kOn.rgb()), 60);

    m_Field.setEnabled(false);
    const QRgb disabledInk = StrongestInk(Grab(m_Field), background);
    EXPECT_LT(Distance(disabledInk, kOff.rgb()), 60);
    EXPECT_LT(Distance(disabledInk, kOff.rgb()), Distance(disabledInk, kOn.rgb()));
}

TEST_F(TextfieldTest, FieldWithoutBackgroundDrawsNothing) {
    CTextfield bare;
    bare.m_TextColor = kOn;
    bare.Create(m_Field.geometry(), &m_Window, 0);
    bare.SetBackground(9999);
    const QImage empty = Grab(bare);
    bare.SetText("/home/anna/Pictures");
    EXPECT_EQ(Grab(bare), empty);
}

TEST_F(TextfieldTest, FontIsTwelvePixelsHigh) {
    const QFontMetrics metrics(m_Field.Font());
    EXPECT_EQ(metrics.height(), 12);
    // Wider than the plain face: an average lower-case letter takes about 6 pixels.
    const double average =
        metrics.horizontalAdvance(QStringLiteral("abcdefghijklmnopqrstuvwxyz")) / 26.0;
    EXPECT_GT(average, 5.5);
    EXPECT_LT(average, 7.5);
}

TEST_F(TextfieldTest, LongPathIsDrawnWithItsLastComponent) {
    const std::string path =
        "/home/anna/Pictures/2024/Holidays in the north/Lofoten with family/Day 3 - Reine";
    m_Field.SetText(path);
    EXPECT_EQ(m_Field.GetText(), path) << "the stored text is not shortened";
    const QImage shown = Grab(m_Field);

    const QString elided =
        ElidePath(QString::fromStdString(path), QFontMetrics(m_Field.Font()), 235);
    EXPECT_TRUE(elided.endsWith(QStringLiteral("/Day 3 - Reine"))) << elided.toStdString();
    EXPECT_TRUE(elided.startsWith(QStringLiteral("/home/"))) << elided.toStdString();
    EXPECT_TRUE(elided.contains(QStringLiteral("...")));
    m_Field.SetText(elided.toStdString());
    EXPECT_EQ(Grab(m_Field), shown) << "the field draws the shortened path";
}

TEST_F(TextfieldTest, AmpersandsAreDrawnAsTheyAre) {
    // Folder names may hold '&': it is drawn, not taken as a mnemonic prefix.
    const QImage background = Rgb32(LoadSkinBitmap(157));
    auto inkWidth = [&](const std::string& text) {
        m_Field.SetText(text);
        const QImage drawn = Grab(m_Field);
        int right = -1;
        for (int x = 0; x < drawn.width(); ++x) {
            for (int y = 0; y < drawn.height(); ++y) {
                right = drawn.pixel(x, y) != background.pixel(x, y) ? x : right;
            }
        }
        return right;
    };
    EXPECT_GT(inkWidth("/photos/Tom && Jerry"), inkWidth("/photos/Tom & Jerry"));
    EXPECT_GT(inkWidth("/photos/&x"), inkWidth("/photos/x"));
}

TEST(PathEllipsis, ShortensOnlyWhatDoesNotFit) {
    TestApp();
    const QFontMetrics metrics(QFont(QStringLiteral("Liberation Sans"), 9));
    const QString fits = QStringLiteral("/a/b.gpx");
    EXPECT_EQ(ElidePath(fits, metrics, 1000), fits);

    const QString windows = QStringLiteral("C:\\Users\\anna\\Pictures\\Camera Roll\\Export");
    const int width = metrics.horizontalAdvance(windows) / 2;
    const QString shortWindows = ElidePath(windows, metrics, width);
    EXPECT_TRUE(shortWindows.endsWith(QStringLiteral("...\\Export"))) << shortWindows.toStdString();
    EXPECT_LE(metrics.horizontalAdvance(shortWindows), width);
    EXPECT_TRUE(shortWindows.startsWith(QStringLiteral("C:\\")));

    // A last component wider than the room stays whole behind the ellipsis.
    const QString deep = QStringLiteral("/x/a-very-long-folder-name-that-does-not-fit");
    EXPECT_EQ(ElidePath(deep, metrics, 30),
              QStringLiteral(".../a-very-long-folder-name-that-does-not-fit"));

    // Without a separator the start is kept.
    const QString status = QStringLiteral("Tagging the photos of the day");
    const QString shortStatus = ElidePath(status, metrics, 60);
    EXPECT_TRUE(shortStatus.startsWith(QStringLiteral("Tag")));
    EXPECT_TRUE(shortStatus.endsWith(QStringLiteral("...")));
    EXPECT_LE(metrics.horizontalAdvance(shortStatus), 60);
}

TEST_F(TextfieldTest, SetTextFromAnotherThreadIsSafe) {
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 0; i < 2000; ++i) {
            m_Field.SetText(i % 2 == 0 ? "Tagging..." : "/home/anna/Pictures/a/rather/long/path");
        }
        m_Field.SetText("Done!");
        done = true;
    });
    while (!done) {
        Grab(m_Field);
        QCoreApplication::processEvents();
    }
    worker.join();
    QCoreApplication::processEvents();
    EXPECT_EQ(m_Field.GetText(), "Done!");
}
