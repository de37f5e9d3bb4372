// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What screen readers say for the main window's controls.

#include <string>

// The name of hot folder `n`'s check, "Hot folder 1"; its state is the check's own. `n` is
// 1 .. 4.
std::string HotFolderAccessibleName(int n);

// The check's description: the folder's path, or "no folder set".
std::string HotFolderAccessibleDescription(const std::string& path);

// "GPX file: /tracks/day.gpx", or "GPX file: none chosen".
std::string GpxFileAccessibleName(const std::string& path);

// "Status: Done!".
std::string StatusAccessibleName(const std::string& status);

// The name of control `id` that does not change, or the empty text for the controls whose name
// follows their state (the hot-folder lines and checks, the GPX line, the status line).
std::string ControlAccessibleName(int id);

// What control `id` does: "Writes the GPS position into the photos ...". For the hot-folder
// checks, see HotFolderAccessibleDescription.
std::string ControlAccessibleDescription(int id);

// The tool tip of button or check `id`: its name, or "Switches hot folder 1 on or off"; the
// empty text for any other control.
std::string ControlToolTip(int id);
