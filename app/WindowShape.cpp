// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/WindowShape.h"

QRegion RegionFromMask(const QImage& mask, int width, int height) {
    QRegion region(0, 0, width, height);
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; ++y) {
            if (mask.valid(x, y) && (mask.pixel(x, y) & 0xFFFFFFu) == 0) {
                region = region.xored(QRegion(x, y, 1, 1));
            }
        }
    }
    return region;
}
