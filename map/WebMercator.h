// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Web Mercator, as map tiles are cut: the world a unit square, x east from 180 W, y south from
// 85.05 N; zoom z has 2^z by 2^z tiles.

#include "track/TrackPoint.h"

struct WorldPoint {
    double x = 0.0;
    double y = 0.0;
};

// The latitude beyond which Web Mercator draws nothing.
constexpr double kMercatorLimit = 85.0511287798066;

// A position's world point; latitudes beyond the limit are drawn at it, longitudes taken
// modulo 360.
WorldPoint ToWorld(double latitude, double longitude);

// The position of a world point, x taken modulo 1.
GeoPosition FromWorld(const WorldPoint& point);

// Tiles along each side at `zoom`.
inline int TilesAcross(int zoom) {
    return 1 << zoom;
}
