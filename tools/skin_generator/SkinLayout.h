#pragma once
// Where the controls sit on the main window, and which skin images they use. The skin is drawn
// around these places, and the preview places the real controls there.

#include <QColor>
#include <QRect>
#include <array>

#include "controls/ControlRect.h"

namespace skin {

// Size of the window background and of its shape mask.
constexpr int kWindowWidth = 296;
constexpr int kWindowHeight = 233;

enum class ControlKind { Button, Field, Spinner };

struct ControlSpot {
    int id;
    ControlKind kind;
    QRect rect;                 // in window coordinates
    std::array<int, 4> images;  // buttons: normal, pressed, focus, disabled; fields: background
    QColor enabledText;         // fields only
    QColor disabledText;        // fields only
};

inline const std::array<ControlSpot, 18>& MainWindowControls() {
    using K = ControlKind;
    const QColor folderOn(242, 129, 73), folderOff(146, 67, 38);
    const QColor gpxOn(46, 214, 229), gpxOff(43, 137, 160), status(229, 178, 57);
    static const std::array<ControlSpot, 18> spots = {{
        {100, K::Button, RectFromLTRB(256, 5, 275, 13), {139, 132, 131, 139}, {}, {}},
        {101, K::Button, RectFromLTRB(233, 5, 252, 13), {141, 134, 135, 141}, {}, {}},
        {102, K::Button, RectFromLTRB(178, 172, 280, 193), {140, 138, 136, 140}, {}, {}},
        {103, K::Button, RectFromLTRB(147, 172, 176, 193), {144, 142, 143, 144}, {}, {}},
        {104, K::Button, RectFromLTRB(196, 22, 275, 41), {147, 145, 146, 147}, {}, {}},
        {105, K::Button, RectFromLTRB(196, 77, 275, 96), {151, 148, 150, 151}, {}, {}},
        {106, K::Button, RectFromLTRB(16, 212, 89, 225), {154, 152, 153, 154}, {}, {}},
        {107, K::Field, RectFromLTRB(37, 98, 272, 110), {156, 0, 0, 0}, folderOn, folderOff},
        {108, K::Field, RectFromLTRB(37, 111, 272, 123), {157, 0, 0, 0}, folderOn, folderOff},
        {109, K::Field, RectFromLTRB(37, 124, 272, 136), {168, 0, 0, 0}, folderOn, folderOff},
        {110, K::Field, RectFromLTRB(37, 137, 272, 149), {169, 0, 0, 0}, folderOn, folderOff},
        {111, K::Button, RectFromLTRB(27, 100, 35, 108), {162, 161, 161, 162}, {}, {}},
        {112, K::Button, RectFromLTRB(27, 113, 35, 121), {160, 159, 159, 160}, {}, {}},
        {113, K::Button, RectFromLTRB(27, 126, 35, 134), {160, 159, 159, 160}, {}, {}},
        {114, K::Button, RectFromLTRB(27, 139, 35, 147), {160, 159, 159, 160}, {}, {}},
        {116, K::Field, RectFromLTRB(29, 44, 264, 56), {158, 0, 0, 0}, gpxOn, gpxOff},
        {117, K::Field, RectFromLTRB(29, 173, 103, 185), {164, 0, 0, 0}, status, status},
        {118, K::Spinner, RectFromLTRB(99, 157, 131, 187), {163, 0, 0, 0}, {}, {}},
    }};
    return spots;
}

}  // namespace skin
