// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The GPS fix a photo carries in its Exif GPS tags (a phone's, say): where, and when by the GPS.

#include <cstdint>
#include <optional>
#include <string>

#include "track/TrackPoint.h"

namespace Exiv2 {
class ExifData;
}

struct PhotoFix {
    GeoPosition position;             // elevation kNoElevation without GPSAltitude
    std::optional<uint64_t> gpsTime;  // FILETIME count (UTC) of GPSDateStamp and GPSTimeStamp
    std::string captureText;          // DateTimeOriginal, else DateTimeDigitized; may be empty
};

// The fix, when GPSLatitude and GPSLongitude hold three rationals each within range; the
// references default to north and east, and "S", "W" and an altitude reference of 1 (below sea
// level) turn the sign. A time stamp with an invalid date or time is left out.
std::optional<PhotoFix> ReadPhotoFix(const Exiv2::ExifData& exif);
