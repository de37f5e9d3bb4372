// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The GPS fixes of one tagging run, in GPX document order.

#include <cstddef>
#include <cstdint>
#include <deque>

#include "platform/FileTime.h"

// Elevation of a point whose GPX element has no usable "ele" child.
constexpr double kNoElevation = -9999.0;

struct TrackPoint {
    double longitude = 0.0;           // decimal degrees, east positive
    double latitude = 0.0;            // decimal degrees, north positive
    double elevation = kNoElevation;  // in the file's unit (metres for GPX)
    FILETIME time;                    // UTC; 0 when the GPX time did not form a valid date
};

// An ordered, unsorted list of track points. Duplicates stay. A reference returned by At stays
// valid until the log is next emptied (appending does not move earlier points).
class TrackLog {
public:
    void Append(const TrackPoint& point);
    void Empty();
    size_t Count() const { return m_Points.size(); }
    bool IsEmpty() const { return m_Points.empty(); }
    // Point at position 0 .. Count() - 1; the position must be valid.
    const TrackPoint& At(size_t position) const { return m_Points[position]; }
    // Changes whenever the content changes, so that derived indexes can tell they are stale.
    uint64_t Generation() const { return m_Generation; }

private:
    std::deque<TrackPoint> m_Points;
    uint64_t m_Generation = 0;
};
