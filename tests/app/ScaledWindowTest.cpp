// SPDX-License-Identifier: GPL-3.0-or-later
// The main window on screens of higher density. Every run of this program sets QT_SCALE_FACTOR,
// which Qt reads at start: the AtTwice tests run at 2, the AtFraction tests at 1.25 and at 1.5.
#include <gtest/gtest.h>

#include <QTest>
#include <cmath>

#include "AppFixture.h"
#include "resources/MainWindowLayout.h"
#include "resources/SkinResources.h"

namespace {

// Pixels at ratio 1, for comparing.
QImage Pixels(QImage image) {
    image = image.convertToFormat(QImage::Format_RGB32);
    image.setDevicePixelRatio(1);
    return image;
}

QImage Art(int id, int scale) {
    return Pixels(LoadSkinBitmap(id, scale));
}

// The device pixels that `rect` touches at `ratio`.
QRect Scaled(const QRect& rect, double ratio) {
    return QRectF(QPointF(rect.topLeft()) * ratio, QSizeF(rect.size()) * ratio).toAlignedRect();
}

class ScaledWindow : public AppTest {
protected:
    // The window shown with no text in any field and the busy indicator visible: only skin art.
    CFenrikWnd& ShowSkinOnly() {
        CFenrikWnd& w = Create();
        Of(w).m_StatusField->SetText("");
        Of(w).m_Spinner->show();
        w.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
        QCoreApplication::processEvents();
        return w;
    }
};

class AtTwice : public ScaledWindow {};
class AtFraction : public ScaledWindow {};

// Pairs of neighbouring columns of `image` that are exactly alike while each differs from its
// other neighbour: what enlarging without smoothing leaves in letters ("St art").
int DoubledColumns(const QImage& image) {
    const auto same = [&image](int a, int b) {
        for (int y = 0; y < image.height(); ++y) {
            if (image.pixel(a, y) != image.pixel(b, y)) {
                return false;
            }
        }
        return true;
    };
    int doubled = 0;
    for (int x = 1; x + 2 < image.width(); ++x) {
        doubled += same(x, x + 1) && !same(x - 1, x) && !same(x + 1, x + 2) ? 1 : 0;
    }
    return doubled;
}

}  // namespace

TEST_F(AtTwice, EveryControlIsDrawnFromThe2xArt) {
    CFenrikWnd& w = ShowSkinOnly();
    ASSERT_EQ(w.devicePixelRatioF(), 2.0) << "run with QT_SCALE_FACTOR=2";
    const QPixmap grabbed = w.grab();
    EXPECT_EQ(grabbed.devicePixelRatio(), 2.0);
    const QImage shot = Pixels(grabbed.toImage());
    ASSERT_EQ(shot.size(), QSize(592, 466));
    // The title bar left of its buttons: the window's own background.
    EXPECT_EQ(shot.copy(0, 0, 460, 38), Art(129, 2).copy(0, 0, 460, 38));
    for (const ControlLayout& control : MainWindowLayout()) {
        SCOPED_TRACE(control.id);
        QImage art = Art(control.normal, 2);
        if (control.kind == WindowControlKind::Spinner) {
            art = art.copy(0, 0, 64, 60);  // its first frame
        }
        EXPECT_EQ(shot.copy(QRect(control.rect.topLeft() * 2, art.size())), art);
    }
}

TEST_F(AtTwice, WindowOutlineIsCutAlongThe2xMask) {
    CFenrikWnd& w = Create();
    ASSERT_EQ(w.devicePixelRatioF(), 2.0) << "run with QT_SCALE_FACTOR=2";
    const QRegion outline = w.mask();
    const QImage mask = Art(130, 2);
    ASSERT_EQ(mask.size(), QSize(592, 466));
    for (int y = 0; y < mask.height(); ++y) {
        for (int x = 0; x < mask.width(); ++x) {
            const bool black = mask.pixel(x, y) == qRgb(0, 0, 0);
            ASSERT_NE(black, outline.contains(QPoint(x / 2, y / 2))) << x << "," << y;
        }
    }
}

TEST_F(AtFraction, ControlsArePaintedWholeInsideTheOutline) {
    CFenrikWnd& w = ShowSkinOnly();
    const double ratio = w.devicePixelRatioF();
    ASSERT_TRUE(ratio > 1 && ratio < 2) << "run with QT_SCALE_FACTOR=1.25 or 1.5";
    const QRegion outline = w.mask();
    for (const ControlLayout& control : MainWindowLayout()) {
        SCOPED_TRACE(control.id);
        EXPECT_TRUE((QRegion(control.rect) - outline).isEmpty());
        // What the control paints covers its whole rectangle.
        QWidget* widget = w.childAt(control.rect.center());
        ASSERT_NE(widget, nullptr);
        QImage alone(Scaled(control.rect, ratio).size(), QImage::Format_RGB32);
        alone.setDevicePixelRatio(ratio);
        alone.fill(Qt::magenta);
        widget->render(&alone, QPoint(), QRegion(), QWidget::RenderFlags());
        alone = Pixels(alone);
        const QRect whole(0, 0, qFloor(control.rect.width() * ratio),
                          qFloor(control.rect.height() * ratio));
        for (int y = 0; y < whole.height(); ++y) {
            for (int x = 0; x < whole.width(); ++x) {
                ASSERT_NE(alone.pixel(x, y), qRgb(255, 0, 255)) << x << "," << y;
            }
        }
    }
    // Controls apart in window pixels share no device pixel either, which the one painted later
    // would take from the other. (The busy indicator lies over the end of the status line.)
    for (const ControlLayout& a : MainWindowLayout()) {
        for (const ControlLayout& b : MainWindowLayout()) {
            if (a.id != b.id && !a.rect.intersects(b.rect)) {
                EXPECT_FALSE(Scaled(a.rect, ratio).intersects(Scaled(b.rect, ratio)))
                    << a.id << " and " << b.id;
            }
        }
    }
}

TEST_F(AtFraction, LettersOfTheArtAreEven) {
    CFenrikWnd& w = ShowSkinOnly();
    const double ratio = w.devicePixelRatioF();
    ASSERT_TRUE(ratio > 1 && ratio < 2) << "run with QT_SCALE_FACTOR=1.25 or 1.5";
    const QImage shot = Pixels(w.grab().toImage());
    for (const int id : {kIdStart, kIdDeviceConfig, kIdDirConfig, kIdHomePage}) {
        SCOPED_TRACE(id);
        const QRect rect = MainWindowControl(id).rect;
        const QImage drawn = shot.copy(Scaled(rect, ratio).adjusted(1, 1, -1, -1));
        // The same letters of the 1x art enlarged without smoothing come out uneven.
        const QImage uneven = Art(MainWindowControl(id).normal, 1).scaled(drawn.size());
        EXPECT_LE(DoubledColumns(drawn) * 4, DoubledColumns(uneven));
    }
}
