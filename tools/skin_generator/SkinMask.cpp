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

// Cuts the window pixel (x, y): the `scale` x `scale` block of mask pixels that it covers.
void CutOut(QImage& mask, int scale, int x, int y) {
    for (int dy = 0; dy < scale; ++dy) {
        for (int dx = 0; dx < scale; ++dx) {
            mask.setPixel(x * scale + dx, y * scale + dy, kOutside);
        }
    }
}

// Grey for the inside mask pixels along the corners' edge, which stay inside.
void SoftenCorners(QImage& mask, int scale) {
    const int width = kMainWindowWidth;
    const int visibleBottom = kMainWindowHeight - 2;  // the last row is cut whole
    const QImage cut = mask.copy();
    for (int y = 0; y < (kMainWindowHeight - 1) * scale; ++y) {
        const int row = y / scale;
        const bool cornerRow = row < 15 || row > visibleBottom - 15;
        for (int x = 0; cornerRow && x < width * scale; ++x) {
            const int column = x / scale;
            const bool cornerColumn = column < 15 || column >= width - 15;
            if (cornerColumn && cut.pixel(x, y) == kInside && TouchesOutside(cut, x, y)) {
                mask.setPixel(x, y, kEdgeGrey);
            }
        }
    }
}

}  // namespace

QImage DrawMask(int scale) {
    if (scale != 1 && scale != 2) {
        return {};
    }
    const int width = kMainWindowWidth;
    const int height = kMainWindowHeight;
    QImage mask(width * scale, height * scale, QImage::Format_RGB32);
    mask.fill(kInside);

    const int visibleBottom = height - 2;  // the last row is cut whole
    for (int x = 0; x < width; ++x) {
        CutOut(mask, scale, x, height - 1);
    }
    for (int row = 0; row < 15; ++row) {
        for (int x = 0; x < kCornerCut[row]; ++x) {
            CutOut(mask, scale, x, row);
            CutOut(mask, scale, width - 1 - x, row);
            CutOut(mask, scale, x, visibleBottom - row);
            CutOut(mask, scale, width - 1 - x, visibleBottom - row);
        }
    }
    SoftenCorners(mask, scale);
    mask.setDevicePixelRatio(scale);
    return mask;
}
