#pragma once
// What screen readers say for the main window's controls.

#include <string>

// "Hot folder 1: on, /photos/trip", "Hot folder 2: off, /photos/old", and for a hot folder
// without a path "Hot folder 3: off, no folder set". `n` is 1 .. 4.
std::string HotFolderAccessibleName(int n, bool on, const std::string& path);

// "GPX file: /tracks/day.gpx", or "GPX file: none chosen".
std::string GpxFileAccessibleName(const std::string& path);

// "Status: Done!".
std::string StatusAccessibleName(const std::string& status);

// The name of control `id` that does not change, or the empty text for the controls whose name
// follows their state (the hot-folder lines and checks, the GPX line, the status line).
std::string ControlAccessibleName(int id);

// What control `id` does: "Writes the GPS position into the photos ...".
std::string ControlAccessibleDescription(int id);
