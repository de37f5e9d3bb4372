// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the main window opens.

#include <QRect>

// The window rectangle for a maximised-window area of `areaWidth` x `areaHeight`: left =
// width / 2 - 148, top = height / 2 - 116 (halves truncated toward zero), 296 x 233.
// With 1936 x 1056 that is left 820, top 412, right 1116, bottom 645.
QRect CenteredWindowRect(int areaWidth, int areaHeight);
