// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The chooser that picks the GPX track: one file, or a folder of tracks.

#include <string>

class QWidget;

// Offers "Track file…" (TrackChooserFilter) and "Folder of tracks…" in a menu under `anchor` (at
// the pointer when null), each starting in GpxChooserStartFolder(current). Returns the chosen
// path, empty when cancelled. GUI thread only.
std::string ChooseGpxPathWithDialog(QWidget* anchor, const std::string& current);

// "Track files (*.gpx *.fit …)" for every kind read, then "GPX files (*.gpx)", "All files (*)".
std::string TrackChooserFilter();

// The folder of `current` (itself when a folder); empty (working directory) if nothing exists.
std::string GpxChooserStartFolder(const std::string& current);
