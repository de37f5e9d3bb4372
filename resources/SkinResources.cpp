// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources/SkinResources.h"

#include <QFile>

QString SkinBitmapPath(int id) {
    return QStringLiteral(":/skin/bitmaps/%1.bmp").arg(id);
}

QImage LoadSkinBitmap(int id) {
    const QString path = SkinBitmapPath(id);
    if (!QFile::exists(path)) {
        return {};
    }
    return QImage(path, "BMP");
}

QString ProgramIconPath() {
    return QStringLiteral(":/skin/fenrik.ico");
}

QIcon LoadProgramIcon() {
    return QIcon(ProgramIconPath());
}
