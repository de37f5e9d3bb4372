// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Colours and fonts of the skin: a dark graphite panel with an orange accent.

#include <QColor>
#include <QFont>

namespace theme {

inline const QColor kPanelTop(0x2c, 0x30, 0x37);
inline const QColor kPanelBottom(0x1f, 0x22, 0x28);
inline const QColor kHeader(0x23, 0x26, 0x2c);
inline const QColor kEdgeOuter(0x4e, 0x55, 0x60);
inline const QColor kEdgeInner(0x17, 0x19, 0x1d);
inline const QColor kWell(0x14, 0x16, 0x1a);
inline const QColor kWellRow(0x1b, 0x1e, 0x23);
inline const QColor kWellShadow(0x0c, 0x0d, 0x10);
inline const QColor kWellLight(0x3b, 0x41, 0x4a);
inline const QColor kGrooveDark(0x15, 0x17, 0x1b);
inline const QColor kGrooveLight(0x38, 0x3d, 0x45);
inline const QColor kLabel(0x9a, 0xa4, 0xb0);
inline const QColor kFaint(0x6b, 0x74, 0x80);
inline const QColor kTitle(0xee, 0xf1, 0xf4);
inline const QColor kCaption(0xdc, 0xe1, 0xe7);
inline const QColor kAccent(242, 129, 73);
inline const QColor kAccentLight(0xff, 0xa0, 0x6e);
inline const QColor kAccentDark(0xc2, 0x58, 0x26);
inline const QColor kCyan(46, 214, 229);
inline const QColor kAmber(229, 178, 57);
inline const QColor kFaceTop(0x3c, 0x42, 0x4c);
inline const QColor kFaceBottom(0x31, 0x36, 0x3e);
inline const QColor kFaceBorder(0x4f, 0x57, 0x62);
inline const QColor kClose(0xe0, 0x4f, 0x46);

// A font by family and pixel size, hinted fully so that small text stays sharp.
inline QFont SkinFont(const char* family, int pixelSize, QFont::Weight weight) {
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

}  // namespace theme
