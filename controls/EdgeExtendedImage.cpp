// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/EdgeExtendedImage.h"

#include <algorithm>

void DrawEdgeExtendedImage(QPainter& painter, const QImage& image, QSize area) {
    if (image.isNull()) {
        return;
    }
    const int width = image.width();
    const int height = image.height();
    const int coveredWidth = std::min(width, area.width());
    const int coveredHeight = std::min(height, area.height());
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(0, 0), image, QRect(0, 0, coveredWidth, coveredHeight));
    if (area.width() > width) {
        const QRect right(width, 0, area.width() - width, coveredHeight);
        painter.drawImage(right, image, QRect(width - 1, 0, 1, coveredHeight));
    }
    if (area.height() > height) {
        const QRect below(0, height, coveredWidth, area.height() - height);
        painter.drawImage(below, image, QRect(0, height - 1, coveredWidth, 1));
    }
    if (area.width() > width && area.height() > height) {
        const QRect corner(width, height, area.width() - width, area.height() - height);
        painter.fillRect(corner, QColor::fromRgb(image.pixel(width - 1, height - 1)));
    }
    painter.restore();
}
