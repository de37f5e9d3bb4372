// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The outline of the skinned window, cut from a mask image.

#include <QImage>
#include <QRegion>

// The region of a `width` x `height` window less every pixel that is exactly black in `mask`,
// scanned column by column. Points outside the mask image are not black. A null mask leaves
// the whole rectangle.
QRegion RegionFromMask(const QImage& mask, int width, int height);
