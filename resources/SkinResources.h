// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The skin bitmaps and the program icon, embedded in the program and found by numeric id.

#include <QIcon>
#include <QImage>
#include <QString>

// Resource path of skin bitmap `id` (":/skin/bitmaps/<id>.bmp"). The file exists only for the
// ids of the skin.
QString SkinBitmapPath(int id);

// Skin bitmap `id`, decoded. A null image for an id that is not part of the skin. Safe to call
// from any thread.
QImage LoadSkinBitmap(int id);

// Resource path of the program icon (icon 128, one 61 x 61 image at 8 bits per pixel).
QString ProgramIconPath();

// The program icon.
QIcon LoadProgramIcon();
