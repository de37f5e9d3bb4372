// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources/SkinResources.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <cstdint>

namespace {

struct ExpectedBitmap {
    int id;
    int width;
    int height;
    int bitsPerPixel;
};

const ExpectedBitmap kBitmaps[] = {
    {129, 296, 233, 24}, {130, 296, 233, 4}, {139, 19, 8, 32},   {132, 19, 8, 32},
    {131, 19, 8, 32},    {141, 19, 8, 32},   {134, 19, 8, 32},   {135, 19, 8, 32},
    {140, 102, 21, 32},  {138, 102, 21, 32}, {136, 102, 21, 32}, {144, 29, 21, 32},
    {142, 29, 21, 32},   {143, 29, 21, 32},  {147, 79, 19, 32},  {145, 79, 19, 32},
    {146, 79, 19, 32},   {151, 79, 19, 32},  {148, 79, 19, 32},  {150, 79, 19, 32},
    {154, 73, 13, 32},   {152, 73, 13, 32},  {153, 73, 13, 32},  {162, 8, 8, 24},
    {161, 8, 8, 24},     {160, 8, 8, 24},    {159, 8, 8, 24},    {156, 230, 11, 24},
    {157, 235, 12, 24},  {168, 235, 12, 24}, {169, 235, 12, 24}, {158, 230, 11, 24},
    {164, 74, 12, 24},   {163, 256, 30, 24},
};

uint32_t ReadU32(const QByteArray& data, int at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<uint8_t>(data[at + i]);
    }
    return value;
}

int ReadU16(const QByteArray& data, int at) {
    return static_cast<uint8_t>(data[at]) | (static_cast<uint8_t>(data[at + 1]) << 8);
}

QByteArray ReadResource(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool IsBlack(const QImage& image, int x, int y) {
    return image.pixel(x, y) == qRgb(0, 0, 0);
}

// Black pixels of `row` counted inwards from the left and from the right edge, and in all.
struct RowCut {
    int left = 0;
    int right = 0;
    int total = 0;
};

RowCut CutOfRow(const QImage& mask, int row) {
    RowCut cut;
    while (cut.left < mask.width() && IsBlack(mask, cut.left, row)) {
        ++cut.left;
    }
    while (cut.right < mask.width() && IsBlack(mask, mask.width() - 1 - cut.right, row)) {
        ++cut.right;
    }
    for (int x = 0; x < mask.width(); ++x) {
        cut.total += IsBlack(mask, x, row) ? 1 : 0;
    }
    return cut;
}

}  // namespace

TEST(SkinResources, EveryBitmapHasItsSizeAndDepthAndDecodes) {
    for (const auto& expected : kBitmaps) {
        SCOPED_TRACE(expected.id);
        const QByteArray file = ReadResource(SkinBitmapPath(expected.id));
        ASSERT_GE(file.size(), 54);
        EXPECT_EQ(file.left(2), QByteArray("BM"));
        EXPECT_EQ(static_cast<int>(ReadU32(file, 18)), expected.width);
        EXPECT_EQ(static_cast<int>(ReadU32(file, 22)), expected.height);
        EXPECT_EQ(ReadU16(file, 28), expected.bitsPerPixel);
        EXPECT_EQ(ReadU32(file, 30), 0u) << "uncompressed";

        const QImage image = LoadSkinBitmap(expected.id);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(expected.width, expected.height));
        // Every skin image is copied opaque.
        EXPECT_FALSE(image.hasAlphaChannel() &&
                     qAlpha(image.pixel(expected.width / 2, expected.height / 2)) != 255);
    }
}

TEST(SkinResources, UnknownIdsGiveNullImages) {
    for (int id : {0, -1, 115, 128, 133, 137, 149, 155, 165, 170, 65535}) {
        EXPECT_TRUE(LoadSkinBitmap(id).isNull()) << id;
    }
}

TEST(SkinResources, ButtonStatesDifferAndDisabledIsNormal) {
    // normal, pressed, focus of every push button and check
    const int states[][3] = {{139, 132, 131}, {141, 134, 135}, {140, 138, 136},
                             {144, 142, 143}, {147, 145, 146}, {151, 148, 150},
                             {154, 152, 153}, {162, 161, 161}, {160, 159, 159}};
    for (const auto& ids : states) {
        SCOPED_TRACE(ids[0]);
        const QImage normal = LoadSkinBitmap(ids[0]);
        EXPECT_NE(normal, LoadSkinBitmap(ids[1]));
        EXPECT_NE(normal, LoadSkinBitmap(ids[2]));
    }
}

TEST(SkinResources, MaskCutsTheRoundedCornersAndTheBottomRow) {
    const QImage mask = LoadSkinBitmap(130);
    ASSERT_EQ(mask.size(), QSize(296, 233));

    int black = 0;
    int grey = 0;
    for (int y = 0; y < mask.height(); ++y) {
        const RowCut cut = CutOfRow(mask, y);
        black += cut.total;
        const bool cornerRow = y <= 14 || (y >= 217 && y <= 231);
        if (y == 232) {
            EXPECT_EQ(cut.total, 296);
        } else if (cornerRow) {
            SCOPED_TRACE(y);
            // Black only as one run in from each side, at most 14 pixels, mirrored.
            EXPECT_GE(cut.left, 1);
            EXPECT_LE(cut.left, 14);
            EXPECT_EQ(cut.left, cut.right);
            EXPECT_EQ(cut.total, cut.left + cut.right);
        } else {
            EXPECT_EQ(cut.total, 0) << "row " << y;
        }
        for (int x = 0; x < mask.width(); ++x) {
            const QRgb c = mask.pixel(x, y);
            grey += (c != qRgb(0, 0, 0) && c != qRgb(255, 255, 255)) ? 1 : 0;
        }
    }
    EXPECT_EQ(black, 612);
    EXPECT_GT(grey, 0) << "the greys along the corners stay inside";

    // The corners round off: the cut shrinks from the outer row inwards, top and bottom alike.
    for (int row = 1; row <= 14; ++row) {
        EXPECT_LE(CutOfRow(mask, row).left, CutOfRow(mask, row - 1).left);
        EXPECT_EQ(CutOfRow(mask, 231 - row).left, CutOfRow(mask, row).left);
    }
}

TEST(SkinResources, IconIsOne61By61ImageAt8Bits) {
    const QByteArray file = ReadResource(ProgramIconPath());
    ASSERT_GE(file.size(), 22 + 40);
    EXPECT_EQ(ReadU16(file, 2), 1) << "icon type";
    EXPECT_EQ(ReadU16(file, 4), 1) << "one image";
    EXPECT_EQ(static_cast<uint8_t>(file[6]), 61);
    EXPECT_EQ(static_cast<uint8_t>(file[7]), 61);
    EXPECT_EQ(ReadU16(file, 12), 8) << "bits per pixel in the directory";
    const int dib = static_cast<int>(ReadU32(file, 18));
    ASSERT_GE(file.size(), dib + 40);
    EXPECT_EQ(ReadU16(file, dib + 14), 8) << "bits per pixel of the image";

    int argc = 1;
    char name[] = "resources_tests";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    const QIcon icon = LoadProgramIcon();
    ASSERT_FALSE(icon.isNull());
    const QImage image = icon.pixmap(61, 61).toImage();
    EXPECT_EQ(image.size(), QSize(61, 61));
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << "transparent outside the tile";
    EXPECT_EQ(qAlpha(image.pixel(30, 30)), 255);
}
