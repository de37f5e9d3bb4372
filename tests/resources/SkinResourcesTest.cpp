// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources/SkinResources.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>

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

// The start of each 1x bitmap's SHA-256: the art as it was first committed, which the 2x art must
// leave alone.
const std::pair<int, const char*> kSingleArtHashes[] = {
    {129, "7a2a90c0bd6dd699"}, {130, "5693238182738ab8"}, {131, "56f01ad3c549fec1"},
    {132, "e285272b10451ab3"}, {134, "0b50c84ccd6bd3e5"}, {135, "1801875aa073d935"},
    {136, "3077d339623c22cc"}, {138, "e7a4976324751b1e"}, {139, "3fe8490c4afdac72"},
    {140, "aa7945a5252d0101"}, {141, "b29ecd423c4a0cb2"}, {142, "6a45504317adf0af"},
    {143, "d0021110171fbf11"}, {144, "b0627e1f94fe73ed"}, {145, "7b067f3e8876b99b"},
    {146, "6408e4f938640f2e"}, {147, "a53fff28fd73dc31"}, {148, "c57ba0cef6eca70a"},
    {150, "eea03c69b02b639b"}, {151, "34aab0dff2e80bae"}, {152, "4ba52e2e432de4af"},
    {153, "3df9057c774b0ec2"}, {154, "945a90c3cd2b22fe"}, {156, "ae83f2315e7ec389"},
    {157, "f6e208394bdf121a"}, {158, "ae83f2315e7ec389"}, {159, "5efb56c28ffd84d3"},
    {160, "d95f8a982b670632"}, {161, "5efb56c28ffd84d3"}, {162, "d95f8a982b670632"},
    {163, "e8cf9bd26397e82f"}, {164, "5d70f79466a76f13"}, {168, "f6e208394bdf121a"},
    {169, "f6e208394bdf121a"},
};

// Share of the 2 x 2 blocks of `image` whose four pixels are not all alike: none in an image
// that is only an enlargement of one half its size.
double ShareOfDetailedBlocks(const QImage& image) {
    int detailed = 0;
    int blocks = 0;
    for (int y = 0; y + 1 < image.height(); y += 2) {
        for (int x = 0; x + 1 < image.width(); x += 2) {
            const QRgb c = image.pixel(x, y);
            detailed += (image.pixel(x + 1, y) != c || image.pixel(x, y + 1) != c ||
                         image.pixel(x + 1, y + 1) != c)
                            ? 1
                            : 0;
            ++blocks;
        }
    }
    return blocks == 0 ? 0.0 : static_cast<double>(detailed) / blocks;
}

// Mean difference per colour channel between `single` and `doubled` reduced to its size by
// averaging each 2 x 2 block.
double MeanDifferenceFromHalved(const QImage& single, const QImage& doubled) {
    long total = 0;
    for (int y = 0; y < single.height(); ++y) {
        for (int x = 0; x < single.width(); ++x) {
            const QRgb block[4] = {doubled.pixel(2 * x, 2 * y), doubled.pixel(2 * x + 1, 2 * y),
                                   doubled.pixel(2 * x, 2 * y + 1),
                                   doubled.pixel(2 * x + 1, 2 * y + 1)};
            int r = 0, g = 0, b = 0;
            for (const QRgb c : block) {
                r += qRed(c);
                g += qGreen(c);
                b += qBlue(c);
            }
            const QRgb c = single.pixel(x, y);
            total += std::abs(r / 4 - qRed(c)) + std::abs(g / 4 - qGreen(c)) +
                     std::abs(b / 4 - qBlue(c));
        }
    }
    return static_cast<double>(total) / (3.0 * single.width() * single.height());
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

TEST(SkinResources, UnknownIdsAndScalesGiveNullImages) {
    for (int id : {0, -1, 115, 128, 133, 137, 149, 155, 165, 170, 65535}) {
        EXPECT_TRUE(LoadSkinBitmap(id).isNull()) << id;
        EXPECT_TRUE(LoadSkinBitmap(id, 2).isNull()) << id;
    }
    for (int scale : {0, -2, 3, 4}) {
        EXPECT_TRUE(LoadSkinBitmap(129, scale).isNull()) << scale;
    }
}

TEST(SkinResources, SingleArtKeepsItsBytes) {
    for (const auto& [id, hash] : kSingleArtHashes) {
        const QByteArray sha =
            QCryptographicHash::hash(ReadResource(SkinBitmapPath(id)), QCryptographicHash::Sha256);
        EXPECT_EQ(sha.toHex().left(16).toStdString(), hash) << id;
    }
}

TEST(SkinResources, EveryBitmapHasDoubleArtOfTwiceTheSizeAndTheSameDepth) {
    EXPECT_EQ(SkinBitmapPath(140, 2), QStringLiteral(":/skin/bitmaps/140@2x.bmp"));
    for (const auto& expected : kBitmaps) {
        SCOPED_TRACE(expected.id);
        const QByteArray file = ReadResource(SkinBitmapPath(expected.id, 2));
        ASSERT_GE(file.size(), 54);
        EXPECT_EQ(static_cast<int>(ReadU32(file, 18)), 2 * expected.width);
        EXPECT_EQ(static_cast<int>(ReadU32(file, 22)), 2 * expected.height);
        EXPECT_EQ(ReadU16(file, 28), expected.bitsPerPixel);

        const QImage single = LoadSkinBitmap(expected.id);
        const QImage doubled = LoadSkinBitmap(expected.id, 2);
        ASSERT_FALSE(doubled.isNull());
        EXPECT_EQ(single.devicePixelRatio(), 1.0);
        EXPECT_EQ(doubled.devicePixelRatio(), 2.0);
        EXPECT_EQ(doubled.deviceIndependentSize(), QSizeF(expected.width, expected.height));
    }
}

TEST(SkinResources, DoubleArtIsTheSamePictureDrawnFinerNotEnlarged) {
    // Letters, glyphs, rounded edges and gradients; flat wells may well be plain enlargements.
    for (int id : {129, 131, 132, 136, 138, 140, 142, 143, 144, 145, 146,
                   147, 148, 150, 151, 152, 153, 154, 159, 161, 163}) {
        SCOPED_TRACE(id);
        const QImage doubled = LoadSkinBitmap(id, 2).convertToFormat(QImage::Format_RGB32);
        EXPECT_GT(ShareOfDetailedBlocks(doubled), 0.02);
    }
    // The same picture in the same colours: halved, the 2x art is nearer to its own 1x art than
    // to any other picture of its size (another state, another caption).
    for (const auto& own : kBitmaps) {
        SCOPED_TRACE(own.id);
        const QImage single = LoadSkinBitmap(own.id).convertToFormat(QImage::Format_RGB32);
        const QImage doubled = LoadSkinBitmap(own.id, 2).convertToFormat(QImage::Format_RGB32);
        const double ownDifference = MeanDifferenceFromHalved(single, doubled);
        for (const auto& other : kBitmaps) {
            const QImage otherSingle =
                LoadSkinBitmap(other.id).convertToFormat(QImage::Format_RGB32);
            if (otherSingle.size() == single.size() && otherSingle != single) {
                EXPECT_LT(ownDifference, MeanDifferenceFromHalved(otherSingle, doubled))
                    << "nearer to " << other.id;
            }
        }
    }
}

TEST(SkinResources, ScaleOfArtFollowsTheDensity) {
    EXPECT_EQ(SkinScaleFor(0.5), 1);
    EXPECT_EQ(SkinScaleFor(1.0), 1);
    EXPECT_EQ(SkinScaleFor(1.25), 2);
    EXPECT_EQ(SkinScaleFor(1.5), 2);
    EXPECT_EQ(SkinScaleFor(2.0), 2);
    EXPECT_EQ(SkinScaleFor(3.0), 2);
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

TEST(SkinResources, DoubleMaskCutsTheSameOutline) {
    const QImage single = LoadSkinBitmap(130);
    const QImage doubled = LoadSkinBitmap(130, 2);
    ASSERT_EQ(doubled.size(), QSize(592, 466));
    int grey = 0;
    for (int y = 0; y < doubled.height(); ++y) {
        for (int x = 0; x < doubled.width(); ++x) {
            ASSERT_EQ(IsBlack(doubled, x, y), IsBlack(single, x / 2, y / 2)) << x << "," << y;
            const QRgb c = doubled.pixel(x, y);
            grey += (c != qRgb(0, 0, 0) && c != qRgb(255, 255, 255)) ? 1 : 0;
        }
    }
    EXPECT_GT(grey, 0) << "the greys along the corners stay inside";
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
