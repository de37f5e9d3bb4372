// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The GPS tags that tagging writes for a track point, and their GPS IFD entries.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "track/TrackPoint.h"

// "%ld/1 %ld/1 %ld/100": degrees, minutes, seconds truncated to hundredths, without the sign.
// Non-finite or out-of-range values give the overflow value, never undefined behaviour.
std::string FormatGpsCoordinate(double value);

// Truncates toward zero; NaN and values out of range give INT32_MIN.
int32_t TruncateToInt32(double value);

struct GpsPosition {
    std::string longitude;  // FormatGpsCoordinate texts
    std::string latitude;
    char longitudeRef = 'W';  // 'E' east of the prime meridian, otherwise 'W'
    char latitudeRef = 'S';   // 'N' north of the equator, otherwise 'S'
    // "%ld/1" of the elevation's magnitude in metres; absent without elevation.
    std::optional<std::string> altitude;
    bool belowSeaLevel = false;  // the elevation is negative
};

GpsPosition GpsPositionOf(const GeoPosition& point);

enum GpsTag : uint16_t {
    kGpsVersionId = 0,
    kGpsLatitudeRef = 1,
    kGpsLatitude = 2,
    kGpsLongitudeRef = 3,
    kGpsLongitude = 4,
    kGpsAltitudeRef = 5,
    kGpsAltitude = 6,
};
enum TiffType : uint16_t { kTiffByte = 1, kTiffAscii = 2, kTiffRational = 5 };

// `value` is big-endian, whatever the file's byte order.
struct GpsEntry {
    uint16_t tag = 0;
    uint16_t type = 0;
    uint32_t count = 0;
    std::string value;
    bool operator==(const GpsEntry& other) const {
        return tag == other.tag && type == other.type && count == other.count &&
               value == other.value;
    }
};

// The entries written for `position`, in tag order: version 2.0.0.0, references, latitude,
// longitude and any altitude, its GPSAltitudeRef 1 below sea level, else 0 only when
// `currentAltitudeRef` is 1. Nothing for a position off the globe.
std::optional<std::vector<GpsEntry>> GpsEntriesFor(const GpsPosition& position,
                                                   std::optional<uint32_t> currentAltitudeRef);

// `count` rationals "a/b c/d ..." as big-endian unsigned 32-bit pairs; nothing for anything else.
std::optional<std::string> RationalBytes(const std::string& text, size_t count);
