// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One GPS fix, and a position on the globe.

#include <cstdint>

#include "platform/FileTime.h"

// Elevation of a point that has none.
constexpr double kNoElevation = -9999.0;

struct TrackPoint {
    double longitude = 0.0;           // decimal degrees, east positive
    double latitude = 0.0;            // decimal degrees, north positive
    double elevation = kNoElevation;  // metres
    FILETIME time;  // UTC with its fraction of a second; 0 when the date was not valid
};

// What a point was recorded as.
enum class PointKind : uint8_t { Waypoint, Track, Route };

// The segment of a point that belongs to none (a waypoint).
constexpr int32_t kNoSegment = -1;

struct GeoPosition {
    double latitude = 0.0;
    double longitude = 0.0;
    double elevation = kNoElevation;
};

inline bool HasElevation(double elevation) {
    return elevation != kNoElevation;
}

inline GeoPosition PositionOf(const TrackPoint& point) {
    return {point.latitude, point.longitude, point.elevation};
}
