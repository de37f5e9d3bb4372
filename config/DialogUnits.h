// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Dialog units: a quarter of the dialog font's average character width, an eighth of its height.

#include <QFont>
#include <QRect>

#include "config/DialogTemplate.h"

// The dialog font's average character width and its height, in pixels.
struct DialogBaseUnits {
    int x = 0;
    int y = 0;
};

// value * numerator / denominator in 64 bits, rounded half away from zero; -1 for a zero
// denominator or a result beyond the int range.
int MulDiv(int value, int numerator, int denominator);

// Base units of `font`: (width of A-Z a-z / 26 + 1) / 2, ascent + descent. Needs a QGuiApplication.
DialogBaseUnits BaseUnitsOf(const QFont& font);

// Dialog units to pixels: x * base.x / 4 and y * base.y / 8, rounded.
int HorizontalDluToPixels(int x, DialogBaseUnits base);
int VerticalDluToPixels(int y, DialogBaseUnits base);
QRect DluToPixels(const DluRect& rect, DialogBaseUnits base);

// The template's font: "MS Shell Dlg" (2) is the system's UI font, any other face is asked for by
// name with a sans serif fallback; a size below 1 keeps the default. Needs a QGuiApplication.
QFont DialogFont(const char* face, int pointSize);
