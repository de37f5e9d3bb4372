// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The position of a RAW photo in its XMP sidecar file: which file that is, and its new content.
// The RAW file itself is only ever read.

#include <string>
#include <vector>

#include "track/TrackPoint.h"

// True when `name` ends, in any letter case, in the extension of a RAW format that the image
// library reads (".dng", ".cr2", ".cr3", ".nef", ".arw", ".raf", ".rw2", ".orf" and others).
// ".x3f" counts too: such files are listed, and reported as unreadable.
bool IsRawName(const std::string& name);

// The sidecar of the RAW file `rawName` among the file names `folderNames` of its folder, as a
// file name: an existing NAME.EXT.xmp, else an existing NAME.xmp (both matched in any letter
// case, the existing spelling returned); when neither exists, NAME.xmp, or NAME.EXT.xmp when
// `stemShared` (another RAW file of the folder has the same NAME). `exists` tells which.
std::string ChooseSidecarName(const std::string& rawName,
                              const std::vector<std::string>& folderNames, bool stemShared,
                              bool& exists);

// The NAME of a file name: all before its last dot (the whole name when it has none).
std::string NameStem(const std::string& fileName);

// Decimal degrees as XMP writes a GPS coordinate, "DDD,MM.mmmmmmR": the degrees, minutes and
// hundredths of seconds that the Exif write computes (FormatGpsCoordinate), the minutes with six
// decimals, and R `positive` or `negative` by the sign, as the Exif reference tags have it.
std::string XmpGpsCoordinate(double value, char positive, char negative);

// True when the sidecar content `text` holds a latitude and a longitude; false also when it
// cannot be parsed. Never throws.
bool SidecarHasPosition(const std::string& text);

enum class SidecarChange {
    Written,      // `text` holds the sidecar's new content
    AlreadyHeld,  // the sidecar holds exactly this position already; nothing to write
    Refused,      // the sidecar is left as it is; `reason` says why
};

struct SidecarUpdate {
    SidecarChange change = SidecarChange::Refused;
    std::string text;
    std::string reason;
};

// The content of a sidecar `existing` (empty for a new one) with the position of `point`:
// exif:GPSLatitude, exif:GPSLongitude, exif:GPSVersionID "2.0.0.0" and, when the point has an
// elevation, exif:GPSAltitude and exif:GPSAltitudeRef as the Exif write sets them. Refuses a
// sidecar that cannot be parsed, and one whose other properties would not read back exactly as
// they were. Never throws.
SidecarUpdate UpdateSidecar(const std::string& existing, const GeoPosition& point);
