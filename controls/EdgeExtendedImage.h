// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Drawing an image over an area larger than itself.

#include <QImage>
#include <QPainter>
#include <QSize>

// Draws `image` opaque at the origin over `area`, its last column, row and corner pixel (device
// pixels for 2x art) repeated where it does not reach. A null image draws nothing.
void DrawEdgeExtendedImage(QPainter& painter, const QImage& image, QSize area);
