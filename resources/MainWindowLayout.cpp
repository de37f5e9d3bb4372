// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources/MainWindowLayout.h"

#include <cstdlib>

namespace {

// A rectangle given by its edges, right and bottom excluded.
constexpr QRect Edges(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left, bottom - top);
}

constexpr QRgb kFolderText = qRgb(242, 129, 73);
constexpr QRgb kFolderTextOff = qRgb(146, 67, 38);
constexpr QRgb kGpxText = qRgb(46, 214, 229);
constexpr QRgb kGpxTextOff = qRgb(43, 137, 160);
constexpr QRgb kStatusText = qRgb(229, 178, 57);

}  // namespace

const std::array<ControlLayout, 18>& MainWindowLayout() {
    using K = WindowControlKind;
    static const std::array<ControlLayout, 18> layout = {{
        {kIdClose, K::Button, "close", Edges(256, 5, 275, 13), 139, 132, 131, 139, 0, 0},
        {kIdMinimize, K::Button, "minimize", Edges(233, 5, 252, 13), 141, 134, 135, 141, 0, 0},
        {kIdStart, K::Button, "start", Edges(178, 172, 280, 193), 140, 138, 136, 140, 0, 0},
        {kIdHelp, K::Button, "help", Edges(147, 172, 176, 193), 144, 142, 143, 144, 0, 0},
        {kIdDeviceConfig, K::Button, "device config", Edges(196, 22, 275, 41), 147, 145, 146, 147,
         0, 0},
        {kIdDirConfig, K::Button, "dir config", Edges(196, 77, 275, 96), 151, 148, 150, 151, 0, 0},
        {kIdHomePage, K::Button, "dir config", Edges(16, 212, 89, 225), 154, 152, 153, 154, 0, 0},
        {107, K::Field, "", Edges(37, 98, 272, 110), 156, 0, 0, 0, kFolderText, kFolderTextOff},
        {108, K::Field, "", Edges(37, 111, 272, 123), 157, 0, 0, 0, kFolderText, kFolderTextOff},
        {109, K::Field, "", Edges(37, 124, 272, 136), 168, 0, 0, 0, kFolderText, kFolderTextOff},
        {110, K::Field, "", Edges(37, 137, 272, 149), 169, 0, 0, 0, kFolderText, kFolderTextOff},
        {111, K::Check, "", Edges(27, 100, 35, 108), 162, 161, 161, 162, 0, 0},
        {112, K::Check, "", Edges(27, 113, 35, 121), 160, 159, 159, 160, 0, 0},
        {113, K::Check, "", Edges(27, 126, 35, 134), 160, 159, 159, 160, 0, 0},
        {114, K::Check, "", Edges(27, 139, 35, 147), 160, 159, 159, 160, 0, 0},
        {kIdDeviceField, K::Field, "", Edges(29, 44, 264, 56), 158, 0, 0, 0, kGpxText, kGpxTextOff},
        {kIdStatusField, K::Field, "", Edges(29, 173, 103, 185), 164, 0, 0, 0, kStatusText,
         kStatusText},
        {kIdSpinner, K::Spinner, "", Edges(99, 157, 131, 187), 163, 0, 0, 0, 0, 0},
    }};
    return layout;
}

const ControlLayout& MainWindowControl(int id) {
    for (const ControlLayout& control : MainWindowLayout()) {
        if (control.id == id) {
            return control;
        }
    }
    std::abort();  // a programming error: every id the program uses is in the table
}
