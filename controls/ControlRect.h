// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Control rectangles given as (left, top, right, bottom), right and bottom exclusive.

#include <QRect>

// Reversed edges give an empty (invalid) rectangle.
inline QRect RectFromLTRB(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left, bottom - top);
}
