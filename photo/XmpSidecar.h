// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A RAW photo's position in its XMP sidecar; the RAW file itself is only ever read.

#include <string>
#include <vector>

#include "track/TrackPoint.h"

// Whether `name` ends in a RAW extension (".dng", ".cr2", ".cr3", ".nef" ...), in any letter
// case; ".x3f" counts too, and is then reported as unreadable.
bool IsRawName(const std::string& name);

// The sidecar name of `rawName` among `folderNames`: an existing NAME.EXT.xmp, else NAME.xmp (any
// letter case, spelt as found); else NAME.xmp, or NAME.EXT.xmp when `stemShared`. `exists` tells
// which.
std::string ChooseSidecarName(const std::string& rawName,
                              const std::vector<std::string>& folderNames, bool stemShared,
                              bool& exists);

// All before the last dot; the whole name when it has none.
std::string NameStem(const std::string& fileName);

// "DDD,MM.mmmmmmR" from FormatGpsCoordinate's figures, R `positive` or `negative` by the sign.
std::string XmpGpsCoordinate(double value, char positive, char negative);

// Whether `text` holds a latitude and a longitude; false when unparsable. Never throws.
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

// `existing` (empty: a new sidecar) with the exif: GPS properties of `point`; refused when it
// cannot be parsed or its other properties would not read back exactly. Never throws.
SidecarUpdate UpdateSidecar(const std::string& existing, const GeoPosition& point);
