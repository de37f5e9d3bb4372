#pragma once
// What screen readers say for the main window's controls whose state changes.

#include <string>

// "Hot folder 1: on, /photos/trip", "Hot folder 2: off, /photos/old", and for a hot folder
// without a path "Hot folder 3: off, no folder set". `n` is 1 .. 4.
std::string HotFolderAccessibleName(int n, bool on, const std::string& path);

// "GPX file: /tracks/day.gpx", or "GPX file: none chosen".
std::string GpxFileAccessibleName(const std::string& path);

// "Status: Done!".
std::string StatusAccessibleName(const std::string& status);
