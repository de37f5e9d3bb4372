// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The points of a log as the tests compare them: one line a point, "kind segment longitude
// latitude elevation time" with every bit of the numbers and the time in 100-ns ticks.

#include <cstdio>
#include <string>

#include "track/TrackLog.h"

inline std::string PointLines(const TrackLog& log) {
    std::string text;
    for (size_t i = 0; i < log.Count(); ++i) {
        const TrackPoint& point = log.At(i);
        const TrackRun& run = log.RunAt(i);
        char line[200];
        std::snprintf(line, sizeof line, "%d %d %.17g %.17g %.17g %llu\n",
                      static_cast<int>(run.kind), run.segment, point.longitude, point.latitude,
                      point.elevation,
                      static_cast<unsigned long long>(FileTimeToCount(point.time)));
        text += line;
    }
    return text;
}
