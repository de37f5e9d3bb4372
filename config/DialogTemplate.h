// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A dialog template as plain data; controls in tab order, positions and sizes in dialog units.

#include <cstdint>
#include <vector>

// A rectangle in dialog units.
struct DluRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

enum class ControlKind {
    PushButton,
    DefaultPushButton,  // the button that Enter presses
    GroupBox,
    StaticText,
    Edit,
    CheckBox,  // automatic two-state
    ComboBox,  // the height includes the dropped list
};

// Style flags of a control; a control combines any of them.
enum ControlStyle : uint32_t {
    kTabStop = 1u << 0,
    kGroup = 1u << 1,  // starts a group of controls (keyboard navigation only)
    kBorder = 1u << 2,
    kAutoHScroll = 1u << 3,     // edit text scrolls sideways instead of stopping at the edge
    kDigitsOnly = 1u << 4,      // edit takes the digits 0-9 only, typed or pasted
    kAlignLeft = 1u << 5,       // static text: left aligned, wrapped at words
    kAlignCenter = 1u << 6,     // static text: centred horizontally
    kCenterVertical = 1u << 7,  // static text: centred vertically
    kDropDown = 1u << 8,        // combo box with an editable field over its list
    kSorted = 1u << 9,          // combo box list kept sorted by text, ignoring case
    kVScroll = 1u << 10,        // combo box list with a vertical scroll bar
};

// Style flags of the dialog itself.
enum DialogStyle : uint32_t {
    kPopup = 1u << 0,
    kCaption = 1u << 1,
    kSystemMenu = 1u << 2,     // a close box in the caption
    kModalFrame = 1u << 3,     // fixed size, no minimise or maximise box
    kShellFont = 1u << 4,      // the font is the system's dialog font
    kSetForeground = 1u << 5,  // brought to the foreground when shown
};

// Id of a control that the program never addresses (static texts, group boxes).
inline constexpr int kNoControlId = -1;

struct DialogControlTemplate {
    int id = kNoControlId;
    ControlKind kind = ControlKind::StaticText;
    const char* caption = "";
    DluRect rect;
    uint32_t style = 0;
};

struct DialogTemplate {
    int id = 0;
    const char* caption = "";
    const char* fontFace = "";
    int fontPointSize = 0;
    int width = 0;  // client area, dialog units
    int height = 0;
    uint32_t style = 0;
    std::vector<DialogControlTemplate> controls;  // in tab order
};
