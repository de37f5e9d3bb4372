// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Positions for tests.

#include "track/TrackPoint.h"

// A position.
inline GeoPosition PointAt(double latitude, double longitude, double elevation) {
    GeoPosition point;
    point.latitude = latitude;
    point.longitude = longitude;
    point.elevation = elevation;
    return point;
}
