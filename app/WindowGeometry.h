// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the main window opens.

#include <QRect>

// The 296 x 233 rectangle at (width / 2 - 148, height / 2 - 116), halves truncated, in an area of
// `areaWidth` x `areaHeight`; 1936 x 1056 gives (820, 412)-(1116, 645).
QRect CenteredWindowRect(int areaWidth, int areaHeight);
