// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/SkinBitmap.h"

#include <cmath>

#include "resources/SkinResources.h"

double DevicePixelsPerPixel(const QPainter& painter) {
    const QTransform transform = painter.deviceTransform();
    return std::hypot(transform.m11(), transform.m12());
}

void DrawImagePixels(QPainter& painter, const QRectF& target, const QImage& image,
                     const QRect& pixels) {
    const QRect part = pixels.intersected(image.rect());
    if (image.isNull() || part.isEmpty() || target.isEmpty()) {
        return;
    }
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (std::abs(DevicePixelsPerPixel(painter) - image.devicePixelRatio()) < 1e-9) {
        painter.drawImage(target, image, part);
    } else {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        // A copy, so that smoothing at the part's edges sees only its own pixels.
        painter.drawImage(target, image.copy(part));
    }
    painter.restore();
}

void DrawSkinImage(QPainter& painter, QPoint at, const QImage& image, const QRect& source) {
    const double ratio = image.devicePixelRatio();
    const QRect bounds(QPoint(0, 0), image.deviceIndependentSize().toSize());
    const QRect part = source.intersected(bounds);
    if (part.isEmpty()) {
        return;
    }
    const QRect target(at + (part.topLeft() - source.topLeft()), part.size());
    const QRect pixels(QPoint(qRound(part.x() * ratio), qRound(part.y() * ratio)),
                       QSize(qRound(part.width() * ratio), qRound(part.height() * ratio)));
    DrawImagePixels(painter, target, image, pixels);
}

SkinBitmap::SkinBitmap(int id) : m_Single(LoadSkinBitmap(id, 1)), m_Double(LoadSkinBitmap(id, 2)) {}

const QImage& SkinBitmap::For(const QPainter& painter) const {
    const bool doubled = SkinScaleFor(DevicePixelsPerPixel(painter)) == 2 && !m_Double.isNull();
    return doubled ? m_Double : m_Single;
}
