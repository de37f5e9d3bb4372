// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The fixes a run matches against, in document order, with their kinds and segments, and the
// sources they came from.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "track/TrackPoint.h"

// Consecutive points, from `first` on, of one kind and segment.
struct TrackRun {
    size_t first = 0;
    PointKind kind = PointKind::Track;
    int32_t segment = 0;
};

// The points that one source (a file, a folder of photos) gave: `first` .. `first + count`.
struct TrackOrigin {
    std::string path;
    std::string format;  // "GPX", ...
    size_t first = 0;
    size_t count = 0;
};

// An ordered, unsorted list of points; duplicates stay. A reference returned by At stays valid
// until the log is next emptied.
class TrackLog {
public:
    // Appends a point of `kind` and `segment` (kNoSegment for a waypoint). Without them the
    // point continues the last point's stretch, or starts segment 0 of track points.
    void Append(const TrackPoint& point, PointKind kind, int32_t segment);
    void Append(const TrackPoint& point);
    // Appends every point of `other`, its segments numbered after this log's, as one origin
    // (none when `other` is empty).
    void AppendLog(const TrackLog& other, const std::string& path, const std::string& format);
    void Empty();

    size_t Count() const { return m_Points.size(); }
    bool IsEmpty() const { return m_Points.empty(); }
    // Point at position 0 .. Count() - 1; the position must be valid.
    const TrackPoint& At(size_t position) const { return m_Points[position]; }
    // The stretch a valid position lies in.
    const TrackRun& RunAt(size_t position) const;
    const std::vector<TrackRun>& Runs() const { return m_Runs; }
    const std::vector<TrackOrigin>& Origins() const { return m_Origins; }
    // Segments are numbered 0 .. SegmentCount() - 1 within a log filled by AppendLog.
    int32_t SegmentCount() const { return m_NextSegment; }
    // Changes whenever the content changes, so that derived indexes can tell they are stale.
    uint64_t Generation() const { return m_Generation; }

private:
    std::deque<TrackPoint> m_Points;
    std::vector<TrackRun> m_Runs;
    std::vector<TrackOrigin> m_Origins;
    int32_t m_NextSegment = 0;
    uint64_t m_Generation = 0;
};
