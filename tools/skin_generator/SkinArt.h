// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The pictures of the skin. Every control image starts as a copy of the window background at the
// place where the control sits, so that the opaque images blend into the panel.
//
// The skin is drawn at scale 1, the bitmaps as the window's layout measures them, and at scale
// 2 for screens of twice the density: every image then has twice the width and height, carries
// 2 as its device pixel ratio, and its lines, letters and gradients are drawn at that resolution
// rather than enlarged.

#include <QImage>
#include <map>

// Rows cut from each rounded corner of the window shape, from the outer row inwards: row 0 of a
// corner loses 14 pixels, its last row 1. Together 79 pixels a corner.
constexpr int kCornerCut[15] = {14, 12, 10, 8, 7, 6, 5, 4, 3, 3, 2, 2, 1, 1, 1};

// The scales at which the skin is drawn.
constexpr int kSkinArtScales[] = {1, 2};

// The window shape (bitmap 130) at `scale` (1 or 2; any other gives a null image): black outside
// (the rounded corners and the bottom row), white inside, with greys along the corners' edge that
// stay inside. At scale 2 every pixel that is black at scale 1 is a black 2 x 2 block, and no
// other pixel is black, so that both masks cut the same window outline.
QImage DrawMask(int scale = 1);

// The window background (bitmap 129), outlined along the inside of `mask`, at the mask's scale
// (its device pixel ratio).
QImage DrawBackground(const QImage& mask);

// Every button, check, field and spinner image, by bitmap id, drawn over `background` at its
// scale (its device pixel ratio).
std::map<int, QImage> DrawControlImages(const QImage& background);

// Width and height of the program icon (icon 128), in pixels.
constexpr int kIconArtSize = 61;

// The program icon with alpha, `size` x `size` pixels (at least 1): the same artwork at any
// size, drawn as vectors rather than scaled from the 61-pixel image.
QImage DrawIcon(int size = kIconArtSize);
