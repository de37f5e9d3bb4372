// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/WebMercator.h"

#include <algorithm>
#include <cmath>

WorldPoint ToWorld(double latitude, double longitude) {
    const double lat = std::clamp(latitude, -kMercatorLimit, kMercatorLimit) * M_PI / 180.0;
    double x = (longitude + 180.0) / 360.0;
    x -= std::floor(x);
    const double y = 0.5 - std::log(std::tan(M_PI / 4.0 + lat / 2.0)) / (2.0 * M_PI);
    return {x, y};
}

GeoPosition FromWorld(const WorldPoint& point) {
    const double x = point.x - std::floor(point.x);
    GeoPosition position;
    position.longitude = x * 360.0 - 180.0;
    position.latitude = std::atan(std::sinh(M_PI * (1.0 - 2.0 * point.y))) * 180.0 / M_PI;
    return position;
}
