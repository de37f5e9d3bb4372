// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The pictures of the skin. Every control image starts as a copy of the window background at the
// place where the control sits, so that the opaque images blend into the panel.

#include <QImage>
#include <map>

// Rows cut from each rounded corner of the window shape, from the outer row inwards: row 0 of a
// corner loses 14 pixels, its last row 1. Together 79 pixels a corner.
constexpr int kCornerCut[15] = {14, 12, 10, 8, 7, 6, 5, 4, 3, 3, 2, 2, 1, 1, 1};

// The window shape (bitmap 130): black outside (the rounded corners and the bottom row), white
// inside, with greys along the corners' edge that stay inside.
QImage DrawMask();

// The window background (bitmap 129), outlined along the inside of `mask`.
QImage DrawBackground(const QImage& mask);

// Every button, check, field and spinner image, by bitmap id, drawn over `background`.
std::map<int, QImage> DrawControlImages(const QImage& background);

// Width and height of the program icon (icon 128), in pixels.
constexpr int kIconArtSize = 61;

// The program icon with alpha, `size` x `size` pixels (at least 1): the same artwork at any
// size, drawn as vectors rather than scaled from the 61-pixel image.
QImage DrawIcon(int size = kIconArtSize);
