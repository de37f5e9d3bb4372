// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The fixes a run matches against, in document order, with their kinds, segments and sources.

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

// An unsorted list of points, duplicates kept; references from At stay valid until Empty.
class TrackLog {
public:
    // `segment` is kNoSegment for a waypoint; without kind and segment the point continues the
    // last point's stretch, or starts segment 0 of track points.
    void Append(const TrackPoint& point, PointKind kind, int32_t segment);
    void Append(const TrackPoint& point);
    // Appends `other` as one origin (none when it is empty), its segments numbered after ours.
    // The second form empties `other` as it goes, so a long track is never held twice.
    void AppendLog(const TrackLog& other, const std::string& path, const std::string& format);
    void AppendLog(TrackLog&& other, const std::string& path, const std::string& format);
    void Empty();

    size_t Count() const { return m_Points.size(); }
    bool IsEmpty() const { return m_Points.empty(); }
    // The position must be valid.
    const TrackPoint& At(size_t position) const { return m_Points[position]; }
    const TrackRun& RunAt(size_t position) const;
    const std::vector<TrackRun>& Runs() const { return m_Runs; }
    const std::vector<TrackOrigin>& Origins() const { return m_Origins; }
    // Segments are 0 .. SegmentCount() - 1 in a log filled by AppendLog.
    int32_t SegmentCount() const { return m_NextSegment; }
    // Changes whenever the content does.
    uint64_t Generation() const { return m_Generation; }

private:
    std::deque<TrackPoint> m_Points;
    std::vector<TrackRun> m_Runs;
    std::vector<TrackOrigin> m_Origins;
    int32_t m_NextSegment = 0;
    uint64_t m_Generation = 0;
};
