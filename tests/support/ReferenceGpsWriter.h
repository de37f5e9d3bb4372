// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The GPS tag writer that tagging used before it edited the Exif segment itself: Exiv2 sets the
// tags and re-serialises all the metadata. Tests compare the GPS tags that both write.

#include <string>

#include "track/TrackLog.h"

namespace Exiv2 {
class ExifData;
}

// Replaces latitude, longitude (and, when the point has an elevation, altitude) and sets the
// two references and GPSVersionID 2.0.0.0 in `exif`; a negative elevation is written as its
// magnitude with GPSAltitudeRef 1, a non-negative one resets an AltitudeRef of 1 to 0.
void WriteGpsTagsWithExiv2(const GeoPosition& point, Exiv2::ExifData& exif);

// The bytes of a JPEG file after Exiv2 wrote `point` into it with WriteGpsTagsWithExiv2.
// Throws Exiv2::Error for a file that Exiv2 cannot rewrite.
std::string RewriteWithExiv2(const std::string& bytes, const GeoPosition& point);
