// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing a track point into an image's Exif GPS tags.

#include <cstdint>
#include <optional>
#include <string>

#include "engine/TrackLog.h"

namespace Exiv2 {
class ExifData;
}

// Decimal degrees as "%ld/1 %ld/1 %ld/100": whole degrees, whole minutes and the seconds
// truncated to hundredths, with the fraction of a minute taken in single precision. The sign
// is dropped (the reference letter carries it). Non-finite or out-of-range values give the
// integer conversion's overflow value, never undefined behaviour.
std::string FormatGpsCoordinate(double value);

// Truncates toward zero to 32 bits as the processor does: NaN and values out of range give
// INT32_MIN.
int32_t TruncateToInt32(double value);

// What WriteGpsTags wrote, for the log.
struct WrittenGps {
    std::string longitude;  // the rational texts written
    std::string latitude;
    std::optional<std::string> altitude;  // absent when the point has no elevation
};

// Replaces latitude, longitude (and, when the point has an elevation, altitude) and sets the
// two references and GPSVersionID 2.0.0.0. Other GPS tags stay. A negative elevation is
// written as its absolute value with GPSAltitudeRef 1 (below sea level); a non-negative one
// resets an AltitudeRef of 1 to 0. May throw Exiv2::Error.
WrittenGps WriteGpsTags(const TrackPoint& point, Exiv2::ExifData& exif);
