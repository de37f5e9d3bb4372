// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Track points for tests.

#include "track/TrackLog.h"

// A track point at a position; its time is not set.
inline TrackPoint PointAt(double latitude, double longitude, double elevation) {
    TrackPoint point;
    point.latitude = latitude;
    point.longitude = longitude;
    point.elevation = elevation;
    return point;
}
