// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The skin bitmaps and the program icon, embedded in the program and found by numeric id.

#include <QIcon>
#include <QImage>
#include <QString>

// The scales at which every skin bitmap exists: 1, as the window's layout measures it, and 2,
// the same art drawn at twice the width and height for screens of twice the density.
constexpr int kSkinScales[] = {1, 2};

// The scale of skin art that suits a device of `devicePixelRatio` device pixels per window
// pixel: 2 above 1 (the 2x art is scaled down smoothly where the ratio lies between 1 and 2),
// else 1.
int SkinScaleFor(double devicePixelRatio);

// Resource path of skin bitmap `id` at `scale`: ":/skin/bitmaps/<id>.bmp" at scale 1,
// ":/skin/bitmaps/<id>@2x.bmp" at scale 2 (Qt's naming for high-density images). The file
// exists only for the ids of the skin and the scales of kSkinScales.
QString SkinBitmapPath(int id, int scale = 1);

// Skin bitmap `id` at `scale`, decoded, with `scale` as its device pixel ratio. A null image for
// an id that is not part of the skin or a scale that is not one of kSkinScales. Safe to call
// from any thread.
QImage LoadSkinBitmap(int id, int scale = 1);

// Resource path of the program icon (icon 128, one 61 x 61 image at 8 bits per pixel).
QString ProgramIconPath();

// The program icon.
QIcon LoadProgramIcon();
