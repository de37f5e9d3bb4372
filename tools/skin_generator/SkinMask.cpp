// SPDX-License-Identifier: GPL-3.0-or-later
#include "SkinArt.h"
#include "resources/MainWindowLayout.h"

namespace {

constexpr QRgb kOutside = 0xff000000u;
constexpr QRgb kInside = 0xffffffffu;
constexpr QRgb kEdgeGrey = 0xff888888u;

// True when one of the eight neighbours of (x, y) is outside.
bool TouchesOutside(const QImage& mask, int x, int y) {
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const QPoint p(x + dx, y + dy);
            if (mask.rect().contains(p) && mask.pixel(p) == kOutside) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

QImage DrawMask() {
    const int width = kMainWindowWidth;
    const int height = kMainWindowHeight;
    QImage mask(width, height, QImage::Format_RGB32);
    mask.fill(kInside);

    const int visibleBottom = height - 2;  // the last row is cut whole
    for (int x = 0; x < width; ++x) {
        mask.setPixel(x, height - 1, kOutside);
    }
    for (int row = 0; row < 15; ++row) {
        for (int x = 0; x < kCornerCut[row]; ++x) {
            mask.setPixel(x, row, kOutside);
            mask.setPixel(width - 1 - x, row, kOutside);
            mask.setPixel(x, visibleBottom - row, kOutside);
            mask.setPixel(width - 1 - x, visibleBottom - row, kOutside);
        }
    }

    // Soften the corners' edge with grey; grey stays inside the window.
    const QImage cut = mask.copy();
    for (int y = 0; y < height - 1; ++y) {
        const bool cornerRow = y < 15 || y > visibleBottom - 15;
        for (int x = 0; cornerRow && x < width; ++x) {
            const bool cornerColumn = x < 15 || x >= width - 15;
            if (cornerColumn && cut.pixel(x, y) == kInside && TouchesOutside(cut, x, y)) {
                mask.setPixel(x, y, kEdgeGrey);
            }
        }
    }
    return mask;
}
