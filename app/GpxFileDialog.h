// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The chooser that picks the GPX track: one file, or a folder of tracks.

#include <string>

class QWidget;

// Offers, in a small menu under `anchor` (or at the pointer when null), "Track file…" and
// "Folder of tracks…"; the first opens Qt's file dialog for TrackChooserFilter, the second its
// folder dialog. Both start in the folder of `current` (the folder itself when `current` names
// one; the working directory when it names nothing that exists). Returns the chosen path, or
// the empty text when the user cancelled. GUI thread only.
std::string ChooseGpxPathWithDialog(QWidget* anchor, const std::string& current);

// The file dialog's filters: "Track files (*.gpx *.fit …)" for every kind the program reads,
// then "GPX files (*.gpx)" and "All files (*)".
std::string TrackChooserFilter();

// The folder a chooser for `current` starts in, as above; the empty text for the working
// directory.
std::string GpxChooserStartFolder(const std::string& current);
