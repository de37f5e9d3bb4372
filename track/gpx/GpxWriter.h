// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing waypoints as a GPX 1.1 document, for any map viewer to open.

#include <cstdint>
#include <string>
#include <vector>

#include "track/TrackPoint.h"

struct NamedWaypoint {
    std::string name;
    GeoPosition position;
    uint64_t utc = 0;  // FILETIME count; 0 for no time
};

// The document: one "wpt" a waypoint with its "ele" (when it has one), "time" (UTC, with its
// fraction of a second when it has one) and "name", in the order given; numbers in the C locale,
// names escaped.
std::string GpxWaypointsDocument(const std::vector<NamedWaypoint>& waypoints);
