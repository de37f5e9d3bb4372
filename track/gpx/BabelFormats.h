// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The track formats that GPSBabel converts to GPX for the program, known by their file names'
// extensions (only those that name one format), and where GPSBabel is.

#include <string>
#include <string_view>
#include <vector>

struct BabelFormat {
    const char* extension;  // without the dot, in lower case: "fit"
    const char* name;       // GPSBabel's name of the format: "garmin_fit"
    const char* label;      // the format as users know it: "FIT"
};

// The format of a file named so, in any letter case; null when GPSBabel is not needed for it.
const BabelFormat* BabelFormatForName(std::string_view fileName);

// The format of a file that begins with `head` and has no known extension (an NMEA log); null
// when nothing tells.
const BabelFormat* BabelFormatForContent(std::string_view head);

// Every format, FIT, TCX, KML, NMEA and IGC first.
const std::vector<BabelFormat>& BabelFormats();

// The gpsbabel executable found on PATH; empty when there is none.
std::string GpsBabelPath();
