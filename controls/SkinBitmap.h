// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Skin art at 1x and 2x, painted pixel for pixel where the density matches, else scaled smoothly.

#include <QImage>
#include <QPainter>
#include <QRect>

// Device pixels per window pixel of what `painter` draws on, its own scaling included.
double DevicePixelsPerPixel(const QPainter& painter);

// Draws `pixels` (clipped to the image) of `image` opaque over `target`, scaled smoothly unless
// the density matches, nothing beyond `pixels` bleeding in. A null image or empty part draws none.
void DrawImagePixels(QPainter& painter, const QRectF& target, const QImage& image,
                     const QRect& pixels);

// Draws `source` (window pixels, clipped to the image) of `image` opaque at `at`, unscaled.
void DrawSkinImage(QPainter& painter, QPoint at, const QImage& image, const QRect& source);

// A skin bitmap at scales 1 and 2, as a control keeps it.
class SkinBitmap {
public:
    SkinBitmap() = default;
    // An id that is not part of the skin gives a null bitmap.
    explicit SkinBitmap(int id);

    bool IsNull() const { return m_Single.isNull(); }
    // The 2x art above one device pixel per window pixel (when there is any), else the 1x art.
    const QImage& For(const QPainter& painter) const;
    // The art at `scale`, 1 or 2.
    const QImage& AtScale(int scale) const { return scale == 2 ? m_Double : m_Single; }

private:
    QImage m_Single;
    QImage m_Double;
};
