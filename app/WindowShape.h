// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The outline of the skinned window, cut from a mask image.

#include <QImage>
#include <QRegion>

// The region of a `width` x `height` window less every pixel that is exactly black in `mask`,
// scanned column by column. A mask of device pixel ratio N (N x N mask pixels to one window
// pixel, as 2x skin art has) cuts a window pixel whose N x N mask pixels are all black. Points
// outside the mask image are not black. A null mask leaves the whole rectangle.
QRegion RegionFromMask(const QImage& mask, int width, int height);
