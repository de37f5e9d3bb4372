// SPDX-License-Identifier: GPL-3.0-or-later
// The skinned controls on devices of any density: the 1x art at one device pixel per window
// pixel, the 2x art pixel for pixel at two, and the 2x art scaled smoothly in between.
#include <gtest/gtest.h>

#include <QPainter>
#include <cmath>

#include "WidgetTestSupport.h"
#include "controls/CActiveButton.h"
#include "controls/CSpinner.h"
#include "controls/CTextfield.h"
#include "controls/ControlRect.h"
#include "controls/SkinBitmap.h"
#include "resources/SkinResources.h"

namespace {

const QRgb kUnpainted = qRgb(255, 0, 255);

// An image of `size` window pixels at `ratio` device pixels each, filled with kUnpainted.
QImage Canvas(QSize size, double ratio) {
    QImage canvas(qCeil(size.width() * ratio), qCeil(size.height() * ratio), QImage::Format_RGB32);
    canvas.setDevicePixelRatio(ratio);
    canvas.fill(kUnpainted);
    return canvas;
}

// What `widget` paints by itself, without any background, at `ratio`; the result at ratio 1
// for comparing pixels.
QImage RenderAt(QWidget& widget, double ratio) {
    QImage canvas = Canvas(widget.size(), ratio);
    widget.render(&canvas, QPoint(), QRegion(), QWidget::RenderFlags());
    canvas.setDevicePixelRatio(1);
    return canvas;
}

// The pixels of skin bitmap `id` at `scale`, at ratio 1 for comparing.
QImage Art(int id, int scale) {
    QImage art = LoadSkinBitmap(id, scale).convertToFormat(QImage::Format_RGB32);
    art.setDevicePixelRatio(1);
    return art;
}

// Mean difference per colour channel of two images of one size.
double MeanDifference(const QImage& a, const QImage& b) {
    double total = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            total += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                     std::abs(qBlue(p) - qBlue(q));
        }
    }
    return total / (3.0 * a.width() * a.height());
}

int CountUnpainted(const QImage& image, QRect area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            count += image.pixel(x, y) == kUnpainted ? 1 : 0;
        }
    }
    return count;
}

class SkinDensityTest : public WidgetTest {};

}  // namespace

TEST_F(SkinDensityTest, ButtonDrawsThe1xArtAtOneAndThe2xArtAtTwo) {
    CActiveButton button;
    button.setGeometry(RectFromLTRB(178, 172, 280, 193));
    button.LoadBitmaps(140, 138, 136, 140);
    EXPECT_EQ(RenderAt(button, 1), Art(140, 1));
    EXPECT_EQ(RenderAt(button, 2), Art(140, 2));
    button.setDown(true);
    EXPECT_EQ(RenderAt(button, 2), Art(138, 2));
    // More than twice the density: the 2x art enlarged, never the 1x art.
    const QImage triple = RenderAt(button, 3);
    const auto smooth = [&triple](const QImage& art) {
        return art.scaled(triple.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    };
    EXPECT_LT(MeanDifference(triple, smooth(Art(138, 2))),
              MeanDifference(triple, smooth(Art(138, 1))));
}

TEST_F(SkinDensityTest, BetweenOneAndTwoThe2xArtIsScaledSmoothlyOverTheWholeControl) {
    CActiveButton button;
    button.setGeometry(RectFromLTRB(178, 172, 280, 193));
    button.LoadBitmaps(140, 138, 136, 140);
    for (const double ratio : {1.25, 1.5}) {
        SCOPED_TRACE(ratio);
        const QImage shown = RenderAt(button, ratio);
        const QSize whole(qFloor(102 * ratio), qFloor(21 * ratio));
        EXPECT_EQ(CountUnpainted(shown, QRect(QPoint(0, 0), whole)), 0);
        const QImage drawn = shown.copy(QRect(QPoint(0, 0), whole));
        const QImage fromDouble =
            Art(140, 2).scaled(whole, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        // The 1x art enlarged: letters of uneven width when not smoothed, blurred when smoothed.
        const QImage unevenSingle = Art(140, 1).scaled(whole);
        const QImage blurredSingle =
            Art(140, 1).scaled(whole, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const double difference = MeanDifference(drawn, fromDouble);
        EXPECT_LT(difference, MeanDifference(drawn, unevenSingle));
        EXPECT_LT(difference, MeanDifference(drawn, blurredSingle));
    }
}

TEST_F(SkinDensityTest, SpinnerAndPartsOfArtAreTakenAtTheImagesScale) {
    CSpinner spinner;
    spinner.setGeometry(RectFromLTRB(99, 157, 131, 187));
    EXPECT_EQ(RenderAt(spinner, 2), Art(163, 2).copy(0, 0, 64, 60));

    // A part in window pixels is the same part of the 1x and of the 2x art; what lies beyond
    // the image is left alone.
    for (const int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        QImage canvas = Canvas(QSize(40, 30), scale);
        QPainter painter(&canvas);
        EXPECT_EQ(DevicePixelsPerPixel(painter), scale);
        DrawSkinImage(painter, QPoint(0, 0), LoadSkinBitmap(163, scale), QRect(232, 0, 40, 30));
        painter.end();
        canvas.setDevicePixelRatio(1);
        EXPECT_EQ(canvas.copy(0, 0, 24 * scale, 30 * scale),
                  Art(163, scale).copy(232 * scale, 0, 24 * scale, 30 * scale));
        EXPECT_EQ(CountUnpainted(canvas, QRect(24 * scale, 0, 16 * scale, 30 * scale)),
                  16 * 30 * scale * scale);
    }
}

TEST_F(SkinDensityTest, FieldExtendsThe2xBackgroundFromItsLastPixels) {
    CTextfield field;
    field.setGeometry(RectFromLTRB(37, 98, 272, 110));  // 235 x 12 over a 230 x 11 image
    field.SetBackground(156);
    const QImage shown = RenderAt(field, 2);
    const QImage art = Art(156, 2);
    ASSERT_EQ(shown.size(), QSize(470, 24));
    EXPECT_EQ(shown.copy(0, 0, 460, 22), art);
    for (int y = 0; y < 22; ++y) {
        for (int x = 460; x < 470; ++x) {
            ASSERT_EQ(shown.pixel(x, y), art.pixel(459, y)) << x << "," << y;
        }
    }
    for (int x = 0; x < 460; ++x) {
        ASSERT_EQ(shown.pixel(x, 23), art.pixel(x, 21)) << x;
    }
    EXPECT_EQ(shown.pixel(469, 23), art.pixel(459, 21));
    EXPECT_EQ(CountUnpainted(shown, shown.rect()), 0);
}
