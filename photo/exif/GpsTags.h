// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The GPS tags that tagging writes for a track point: their values, and their entries as they
// are stored in the Exif GPS IFD.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "track/TrackPoint.h"

// Decimal degrees as "%ld/1 %ld/1 %ld/100": whole degrees, whole minutes and the seconds
// truncated to hundredths, with the fraction of a minute taken in single precision. The sign
// is dropped (the reference letter carries it). Non-finite or out-of-range values give the
// integer conversion's overflow value, never undefined behaviour.
std::string FormatGpsCoordinate(double value);

// Truncates toward zero to 32 bits as the processor does: NaN and values out of range give
// INT32_MIN.
int32_t TruncateToInt32(double value);

// A track point's position as the GPS tags carry it, with the texts the log shows.
struct GpsPosition {
    std::string longitude;  // FormatGpsCoordinate texts
    std::string latitude;
    char longitudeRef = 'W';  // 'E' east of the prime meridian, otherwise 'W'
    char latitudeRef = 'S';   // 'N' north of the equator, otherwise 'S'
    // "%ld/1" of the elevation's magnitude in whole metres; absent when the point has none.
    std::optional<std::string> altitude;
    bool belowSeaLevel = false;  // the elevation is negative
};

GpsPosition GpsPositionOf(const GeoPosition& point);

// Exif GPS tag numbers and TIFF field types.
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

// One entry of the GPS IFD: the value's bytes in big-endian order, whatever the order of the
// file it goes to.
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

// The entries that tagging with `position` writes, in tag order: GPSVersionID 2.0.0.0 (four
// bytes), the two references (ASCII, one letter), latitude and longitude (three unsigned
// rationals each) and, when the position has an altitude, GPSAltitude (one unsigned rational)
// with GPSAltitudeRef: 1 (one byte) below sea level, 0 above it when `currentAltitudeRef` (the
// photo's GPSAltitudeRef as an image reader takes it as a number) is 1, and not written
// otherwise. Every other GPS tag is left as it is. Returns nothing when a
// coordinate text does not read as unsigned rationals (a position off the globe).
std::optional<std::vector<GpsEntry>> GpsEntriesFor(const GpsPosition& position,
                                                   std::optional<uint32_t> currentAltitudeRef);

// Reads "a/b c/d ..." as unsigned 32-bit rationals in big-endian bytes, `count` of them.
// Returns nothing for anything else (a sign, a missing part, a number beyond 32 bits).
std::optional<std::string> RationalBytes(const std::string& text, size_t count);
