// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program icon for the desktop's icon theme: the icon's artwork at the standard sizes of
// the hicolor theme, as PNG files.

#include <QString>
#include <vector>

// The sizes, in pixels, at which the icon is drawn for the theme, smallest first.
const std::vector<int>& ThemeIconSizes();

// Path of the icon of `size` pixels below a theme folder: "<size>x<size>/apps/<name>.png".
QString ThemeIconPath(int size, const QString& name);

// Writes the icon at every size of ThemeIconSizes() below `themeFolder` (normally
// <prefix>/share/icons/hicolor), creating the folders. `name` is the icon's name (the
// desktop entry's Icon key). False when a file cannot be written; the others are still tried.
bool WriteThemeIcons(const QString& themeFolder, const QString& name);
