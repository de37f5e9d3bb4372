// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Dialog units: the font-relative measure of dialog templates. One horizontal unit is a quarter
// of the dialog font's average character width, one vertical unit an eighth of its height, so a
// dialog grows with its font and keeps its proportions.

#include <QFont>
#include <QRect>

#include "config/DialogTemplate.h"

// The dialog font's average character width and its height, in pixels.
struct DialogBaseUnits {
    int x = 0;
    int y = 0;
};

// value * numerator / denominator, computed in 64 bits and rounded to the nearest integer, half
// away from zero. A zero denominator or a result beyond the int range gives -1, as the Windows
// call of that name does.
int MulDiv(int value, int numerator, int denominator);

// Base units of `font`, measured as Windows measures them: the width of the 52 letters A-Z a-z
// divided by 26, plus 1, halved (a rounded average), and the font's height (ascent + descent).
// Needs a running QGuiApplication.
DialogBaseUnits BaseUnitsOf(const QFont& font);

// A length or position in dialog units converted to pixels: x * base.x / 4 and y * base.y / 8,
// each rounded to the nearest pixel.
int HorizontalDluToPixels(int x, DialogBaseUnits base);
int VerticalDluToPixels(int y, DialogBaseUnits base);
QRect DluToPixels(const DluRect& rect, DialogBaseUnits base);

// The font named by a template. "MS Shell Dlg" and "MS Shell Dlg 2", the system's logical dialog
// fonts, map to the system's general user-interface font family (a sans serif); any other face
// is asked for by name with a sans serif fallback. Either way the point size is the template's.
// A point size below 1 keeps the family's default size. Needs a running QGuiApplication.
QFont DialogFont(const char* face, int pointSize);
