// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/WindowShape.h"

#include <algorithm>

namespace {

bool IsBlack(const QImage& mask, int x, int y) {
    return mask.valid(x, y) && (mask.pixel(x, y) & 0xFFFFFFu) == 0;
}

// True when every mask pixel under window pixel (x, y) is black.
bool IsCut(const QImage& mask, int ratio, int x, int y) {
    for (int dy = 0; dy < ratio; ++dy) {
        for (int dx = 0; dx < ratio; ++dx) {
            if (!IsBlack(mask, x * ratio + dx, y * ratio + dy)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

QRegion RegionFromMask(const QImage& mask, int width, int height) {
    const int ratio = std::max(1, qRound(mask.devicePixelRatio()));
    QRegion region(0, 0, width, height);
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; ++y) {
            if (IsCut(mask, ratio, x, y)) {
                region = region.xored(QRegion(x, y, 1, 1));
            }
        }
    }
    return region;
}
