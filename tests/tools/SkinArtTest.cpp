// SPDX-License-Identifier: GPL-3.0-or-later
// The skin generator draws exactly the art the program carries, at both scales.
#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>

#include "BmpWriter.h"
#include "SkinArt.h"
#include "resources/SkinResources.h"

namespace {

void EnsureApp() {
    static int argc = 1;
    static char name[] = "tools_tests";
    static char* argv[] = {name, nullptr};
    if (QGuiApplication::instance() == nullptr) {
        new QGuiApplication(argc, argv);
    }
}

QByteArray ReadResource(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int BitsPerPixelOf(const QByteArray& bmp) {
    return bmp.size() < 30 ? 0
                           : static_cast<uint8_t>(bmp[28]) | (static_cast<uint8_t>(bmp[29]) << 8);
}

}  // namespace

TEST(SkinArt, DrawsTheCarriedBitmapsByteForByteAtBothScales) {
    EnsureApp();
    for (const int scale : kSkinArtScales) {
        SCOPED_TRACE(scale);
        const QImage mask = DrawMask(scale);
        const QImage background = DrawBackground(mask);
        std::map<int, QImage> images = DrawControlImages(background);
        images[130] = mask;
        images[129] = background;
        EXPECT_EQ(images.size(), 34u);
        for (const auto& [id, image] : images) {
            const QByteArray carried = ReadResource(SkinBitmapPath(id, scale));
            ASSERT_FALSE(carried.isEmpty()) << id;
            EXPECT_EQ(qRound(image.devicePixelRatio()), scale) << id;
            EXPECT_TRUE(EncodeBmp(image, BitsPerPixelOf(carried)) == carried)
                << "bitmap " << id << " at scale " << scale
                << " differs: run fenrik_skin_generator and commit its bitmaps";
        }
    }
    EXPECT_TRUE(DrawMask(0).isNull());
    EXPECT_TRUE(DrawMask(3).isNull());
}
