// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Skin art on screens of any density. A control keeps each of its skin bitmaps at both scales
// and paints with the one that suits the device it draws on: the 1x art pixel for pixel on an
// ordinary screen, the 2x art pixel for pixel at twice the density, and the 2x art scaled
// smoothly at any other density, so that letters and lines stay even.

#include <QImage>
#include <QPainter>
#include <QRect>

// Device pixels per window pixel of what `painter` draws on: its device's pixel ratio times any
// scaling the painter applies (a widget rendered into an image of another ratio included).
double DevicePixelsPerPixel(const QPainter& painter);

// Draws the pixels `pixels` of `image` over `target` (painter coordinates), opaque. Where the
// painter's density equals the image's device pixel ratio the pixels are copied as they are (a
// target of another size stretches them without smoothing); at any other density they are scaled
// smoothly, and nothing from beyond `pixels` bleeds in. `pixels` is clipped to the image; a null
// image or an empty part draws nothing.
void DrawImagePixels(QPainter& painter, const QRectF& target, const QImage& image,
                     const QRect& pixels);

// Draws the part `source` of `image`, in window pixels (the image's own pixels divided by its
// device pixel ratio), at `at`, opaque and at the same size in window pixels. The part is
// clipped to the image first: what lies beyond it is left alone.
void DrawSkinImage(QPainter& painter, QPoint at, const QImage& image, const QRect& source);

// A skin bitmap at scales 1 and 2, as a control keeps it.
class SkinBitmap {
public:
    SkinBitmap() = default;
    // Loads skin bitmap `id` at both scales. An id that is not part of the skin gives a null
    // bitmap.
    explicit SkinBitmap(int id);

    bool IsNull() const { return m_Single.isNull(); }
    // The art for `painter`'s device: the 2x art above one device pixel per window pixel, else
    // the 1x art (the 1x art also where no 2x art exists). Null for a null bitmap.
    const QImage& For(const QPainter& painter) const;
    // The art at `scale` (1 or 2), for tests and previews.
    const QImage& AtScale(int scale) const { return scale == 2 ? m_Double : m_Single; }

private:
    QImage m_Single;
    QImage m_Double;
};
