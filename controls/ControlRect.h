// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Control rectangles given as (left, top, right, bottom), right and bottom exclusive.

#include <QRect>

// The rectangle from `left` to `right` and `top` to `bottom`, the right and bottom edges not
// included: RectFromLTRB(10, 20, 40, 30) is 30 wide and 10 high. Reversed edges give an
// empty (invalid) rectangle.
inline QRect RectFromLTRB(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left, bottom - top);
}
