#pragma once
// The file dialog that picks the GPX file.

#include <string>

// Shows Qt's file dialog for "GPX Files (*.gpx)" and returns the chosen path, or the empty text
// when the user cancelled. GUI thread only.
std::string ChooseGpxFileWithDialog();
