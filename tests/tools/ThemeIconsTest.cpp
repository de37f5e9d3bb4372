// SPDX-License-Identifier: GPL-3.0-or-later
#include "ThemeIcons.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <cstdlib>

#include "BmpWriter.h"
#include "SkinArt.h"
#include "TestSupport.h"
#include "resources/SkinResources.h"

namespace {

QGuiApplication& App() {
    static int argc = 1;
    static char name[] = "tools_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* const app =
        QGuiApplication::instance() != nullptr
            ? static_cast<QGuiApplication*>(QGuiApplication::instance())
            : new QGuiApplication(argc, argv);
    return *app;
}

class ThemeIcons : public ::testing::Test {
protected:
    ThemeIcons() { App(); }
    TempDir dir;
};

// Mean difference of the premultiplied channels of two images of the same size, 0 to 255.
double MeanDifference(const QImage& a, const QImage& b) {
    const QImage x = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row);
            const QRgb q = y.pixel(col, row);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q)) + std::abs(qAlpha(p) - qAlpha(q));
        }
    }
    return sum / (4.0 * x.width() * x.height());
}

}  // namespace

TEST_F(ThemeIcons, TheProgramIconIsTheArtworkAsCommitted) {
    // Icon 128 in the program is what the artwork draws today, so the theme's icons, drawn from
    // the same artwork, show the same picture.
    QFile committed(ProgramIconPath());
    ASSERT_TRUE(committed.open(QIODevice::ReadOnly));
    EXPECT_EQ(committed.readAll(), EncodeIcon8(DrawIcon()));
}

TEST_F(ThemeIcons, EverySizeIsWrittenAsTheSamePicture) {
    const std::vector<int>& sizes = ThemeIconSizes();
    // The icon theme's fallback size, which every application must provide.
    EXPECT_NE(std::find(sizes.begin(), sizes.end(), 48), sizes.end());
    ASSERT_TRUE(WriteThemeIcons(QString::fromStdString(dir.Path()), "com.example.Test"));

    const QImage reference = DrawIcon(kIconArtSize);
    for (const int size : sizes) {
        SCOPED_TRACE(size);
        const QString path =
            QString::fromStdString(dir.Path()) + "/" + ThemeIconPath(size, "com.example.Test");
        EXPECT_TRUE(path.endsWith(QStringLiteral("%1x%1/apps/com.example.Test.png").arg(size)));
        QImage icon;
        ASSERT_TRUE(icon.load(path, "PNG"));
        ASSERT_EQ(icon.size(), QSize(size, size));
        ASSERT_TRUE(icon.hasAlphaChannel());
        EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);  // the tile's rounded corner
        EXPECT_EQ(qAlpha(icon.pixel(size / 2, size / 2)), 255);
        if (size >= 32) {
            // Drawn over the whole image, not a 61-pixel corner of it, and not another picture.
            const QImage scaled = icon.scaled(kIconArtSize, kIconArtSize, Qt::IgnoreAspectRatio,
                                              Qt::SmoothTransformation);
            EXPECT_LT(MeanDifference(scaled, reference), 10.0);
        }
    }
}

TEST_F(ThemeIcons, AFolderThatCannotBeMadeFails) {
    WriteFileText(dir.File("file"), "in the way");
    EXPECT_FALSE(WriteThemeIcons(QString::fromStdString(dir.File("file")), "com.example.Test"));
}
