// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The outline of the skinned window, cut from a mask image.

#include <QImage>
#include <QRegion>

// The `width` x `height` region less each exactly black pixel of `mask`; at device pixel ratio N,
// less each window pixel whose N x N mask pixels are all black. Outside the mask is not black; a
// null mask leaves the whole rectangle.
QRegion RegionFromMask(const QImage& mask, int width, int height);
