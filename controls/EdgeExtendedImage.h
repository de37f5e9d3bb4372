// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Drawing an image over an area larger than itself.

#include <QImage>
#include <QPainter>
#include <QSize>

// Draws `image` at the painter's origin over `area`, opaque. Where the image does not reach, its
// last column is repeated to the right, its last row downwards and its bottom-right pixel into
// the corner, so that a slightly small background still covers the whole area seamlessly.
// An image of a device pixel ratio above 1 (2x skin art) covers its size in window pixels, and
// its last device pixels are the ones repeated. A null image draws nothing.
void DrawEdgeExtendedImage(QPainter& painter, const QImage& image, QSize area);
