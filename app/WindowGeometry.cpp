// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/WindowGeometry.h"

#include "controls/ControlRect.h"
#include "resources/MainWindowLayout.h"

QRect CenteredWindowRect(int areaWidth, int areaHeight) {
    const int left = areaWidth / 2 - 148;
    const int top = areaHeight / 2 - 116;
    return RectFromLTRB(left, top, left + kMainWindowWidth, top + kMainWindowHeight);
}
