// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What screen readers say for the main window's controls.

#include <string>

// The name of hot folder `n`'s check (1 .. 4), "Hot folder 1"; its state is the check's own.
std::string HotFolderAccessibleName(int n);

// The check's description: the folder's path, or "no folder set".
std::string HotFolderAccessibleDescription(const std::string& path);

// "GPX file: /tracks/day.gpx", or "GPX file: none chosen".
std::string GpxFileAccessibleName(const std::string& path);

// "Status: Done!".
std::string StatusAccessibleName(const std::string& status);

// Control `id`'s fixed name; empty where the name follows the state (folders, GPX, status).
std::string ControlAccessibleName(int id);

// What control `id` does; for the hot-folder checks, see HotFolderAccessibleDescription.
std::string ControlAccessibleDescription(int id);

// Button or check `id`'s tool tip: its name, or "Switches hot folder 1 on or off"; else empty.
std::string ControlToolTip(int id);
