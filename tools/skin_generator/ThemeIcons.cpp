// SPDX-License-Identifier: GPL-3.0-or-later
#include "ThemeIcons.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>

#include "SkinArt.h"

const std::vector<int>& ThemeIconSizes() {
    static const std::vector<int> sizes = {16, 22, 24, 32, 48, 64, 128, 256, 512};
    return sizes;
}

QString ThemeIconPath(int size, const QString& name) {
    return QStringLiteral("%1x%1/apps/%2.png").arg(size).arg(name);
}

bool WriteThemeIcons(const QString& themeFolder, const QString& name) {
    const QDir root(themeFolder);
    bool ok = true;
    for (const int size : ThemeIconSizes()) {
        const QString path = root.filePath(ThemeIconPath(size, name));
        const bool written =
            root.mkpath(QFileInfo(path).path()) && DrawIcon(size).save(path, "PNG");
        ok = written && ok;
    }
    return ok;
}
