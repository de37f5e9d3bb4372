// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/EdgeExtendedImage.h"

#include <algorithm>

#include "controls/SkinBitmap.h"

void DrawEdgeExtendedImage(QPainter& painter, const QImage& image, QSize area) {
    if (image.isNull()) {
        return;
    }
    const int ratio = qRound(image.devicePixelRatio());
    const int width = image.width() / ratio;
    const int height = image.height() / ratio;
    const int coveredWidth = std::min(width, area.width());
    const int coveredHeight = std::min(height, area.height());
    DrawSkinImage(painter, QPoint(0, 0), image, QRect(0, 0, coveredWidth, coveredHeight));
    if (area.width() > width) {
        const QRect right(width, 0, area.width() - width, coveredHeight);
        DrawImagePixels(painter, right, image,
                        QRect(image.width() - 1, 0, 1, coveredHeight * ratio));
    }
    if (area.height() > height) {
        const QRect below(0, height, coveredWidth, area.height() - height);
        DrawImagePixels(painter, below, image,
                        QRect(0, image.height() - 1, coveredWidth * ratio, 1));
    }
    if (area.width() > width && area.height() > height) {
        const QRect corner(width, height, area.width() - width, area.height() - height);
        painter.fillRect(corner,
                         QColor::fromRgb(image.pixel(image.width() - 1, image.height() - 1)));
    }
}
