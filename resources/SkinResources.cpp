// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources/SkinResources.h"

#include <QFile>

int SkinScaleFor(double devicePixelRatio) {
    return devicePixelRatio > 1.0 ? 2 : 1;
}

QString SkinBitmapPath(int id, int scale) {
    if (scale == 1) {
        return QStringLiteral(":/skin/bitmaps/%1.bmp").arg(id);
    }
    return QStringLiteral(":/skin/bitmaps/%1@%2x.bmp").arg(id).arg(scale);
}

QImage LoadSkinBitmap(int id, int scale) {
    const QString path = SkinBitmapPath(id, scale);
    if (!QFile::exists(path)) {
        return {};
    }
    QImage image(path, "BMP");
    image.setDevicePixelRatio(scale);
    return image;
}

QString ProgramIconPath() {
    return QStringLiteral(":/skin/fenrik.ico");
}

QIcon LoadProgramIcon() {
    return QIcon(ProgramIconPath());
}
