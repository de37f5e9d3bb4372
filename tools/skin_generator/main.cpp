// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the skin and writes it into the resources folder:
//     fenrik_skin_generator <resources folder>
// writes bitmaps/<id>.bmp for every skin bitmap, bitmaps/<id>@2x.bmp for the same art drawn at
// twice the size, and fenrik.ico. Run it after changing the artwork and commit what it wrote;
// the build does not run it.
//     fenrik_skin_generator --theme-icons <theme folder> <icon name>
// writes the program icon at the icon theme's sizes below the theme folder; the build runs
// this for the installed program.

#include <QDir>
#include <QGuiApplication>
#include <cstdio>
#include <cstring>

#include "BmpWriter.h"
#include "SkinArt.h"
#include "ThemeIcons.h"

namespace {

// Bits per pixel of each bitmap: the window background and the checks, fields and spinner are
// 24-bit, the mask 4-bit, the push buttons 32-bit.
int BitsPerPixel(int id) {
    if (id == 130) {
        return 4;
    }
    if (id == 129 || (id >= 156 && id <= 164) || id == 168 || id == 169) {
        return 24;
    }
    return 32;
}

bool WriteBitmap(const QDir& folder, int id, const QImage& image) {
    const int scale = qRound(image.devicePixelRatio());
    const QString name = scale == 1 ? QStringLiteral("%1.bmp").arg(id)
                                    : QStringLiteral("%1@%2x.bmp").arg(id).arg(scale);
    const QString path = folder.filePath(name);
    const bool written = WriteFileBytes(path, EncodeBmp(image, BitsPerPixel(id)));
    std::printf("%s %s (%dx%d, %d bpp)\n", written ? "wrote" : "FAILED", qPrintable(path),
                image.width(), image.height(), BitsPerPixel(id));
    return written;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], "--theme-icons") == 0) {
        return WriteThemeIcons(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]))
                   ? 0
                   : 1;
    }
    if (argc != 2) {
        std::fprintf(stderr,
                     "usage: %s <resources folder>\n"
                     "       %s --theme-icons <theme folder> <icon name>\n",
                     argv[0], argv[0]);
        return 2;
    }
    const QDir resources(QString::fromLocal8Bit(argv[1]));
    QDir bitmaps(resources.filePath(QStringLiteral("bitmaps")));
    if (!bitmaps.exists() && !resources.mkpath(QStringLiteral("bitmaps"))) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(bitmaps.path()));
        return 1;
    }

    bool ok = true;
    for (const int scale : kSkinArtScales) {
        const QImage mask = DrawMask(scale);
        const QImage background = DrawBackground(mask);
        ok = WriteBitmap(bitmaps, 130, mask) && ok;
        ok = WriteBitmap(bitmaps, 129, background) && ok;
        for (const auto& [id, image] : DrawControlImages(background)) {
            ok = WriteBitmap(bitmaps, id, image) && ok;
        }
    }
    const QString iconPath = resources.filePath(QStringLiteral("fenrik.ico"));
    const bool iconWritten = WriteFileBytes(iconPath, EncodeIcon8(DrawIcon()));
    std::printf("%s %s\n", iconWritten ? "wrote" : "FAILED", qPrintable(iconPath));
    return ok && iconWritten ? 0 : 1;
}
