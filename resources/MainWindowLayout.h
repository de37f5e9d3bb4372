// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's layout: where each control sits, which skin images it shows and in which
// colours its text is drawn. The window builds its controls from this table, the skin generator
// draws the skin around it, and the end-to-end test finds the controls by it.

#include <QColor>
#include <QRect>
#include <array>

// The window's size, that of its background and of its shape mask.
constexpr int kMainWindowWidth = 296;
constexpr int kMainWindowHeight = 233;

// Control ids.
enum MainWindowControlId : int {
    kIdClose = 100,
    kIdMinimize = 101,
    kIdStart = 102,
    kIdHelp = 103,
    kIdDeviceConfig = 104,
    kIdDirConfig = 105,
    kIdHomePage = 106,
    kIdHotFolderField1 = 107,  // .. 110
    kIdHotFolderCheck1 = 111,  // .. 114
    kIdDeviceField = 116,
    kIdStatusField = 117,
    kIdSpinner = 118,
};

// What a main-window layout entry makes; the dialog template has kinds of its own.
enum class WindowControlKind { Button, Check, Field, Spinner };

struct ControlLayout {
    int id;
    WindowControlKind kind;
    const char* text;  // a button's window text
    QRect rect;        // in window coordinates
    // Skin bitmap ids. Buttons and checks: normal, pressed, focus and disabled images; fields:
    // the background in `normal`; the spinner: its strip of frames in `normal`.
    int normal, pressed, focus, disabled;
    QRgb textColor;          // fields: the text of an enabled field
    QRgb disabledTextColor;  // fields: the text of a disabled field
};

// The 18 controls, in the order the window creates them.
const std::array<ControlLayout, 18>& MainWindowLayout();

// The control with `id`; the id must be one of the table's.
const ControlLayout& MainWindowControl(int id);
