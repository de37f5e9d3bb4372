// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Placing a photo between track points: an exact fix, else the point on the great circle between
// the two fixes of one segment around the photo's time, else the nearest fix within the
// tolerance. An index built once per track answers each photo in O(log n).

#include <cstdint>
#include <optional>
#include <vector>

#include "match/TimestampMatcher.h"
#include "track/TrackLog.h"

// The point at `fraction` (0..1) of the great circle from `a` to `b`, the short way round; the
// elevation linear between two, else the nearer point's (`a` up to the middle).
GeoPosition InterpolatePosition(const GeoPosition& a, const GeoPosition& b, double fraction);

// Matches against one log, which must outlive it and not change while it is used.
class TrackPlacement {
public:
    // `maxGap`: the longest time between two fixes a photo is placed between, 100-ns units.
    TrackPlacement(const TrackLog& log, int64_t maxGap);

    // Places a photo taken at `utc` (100-ns units, with its fraction of a second):
    // 1. exact: the first point, in document order, whose time is `utc`;
    // 2. interpolated: between consecutive points a and b of one segment in time order with
    //    a.time < utc < b.time and b.time - a.time <= maxGap; of several segments, the shortest
    //    gap, then the earlier a in document order;
    // 3. nearest: `nearest`'s answer (FindBestMatch), asked with the capture on the camera's
    //    clock in whole seconds, `bias` and `tolerance`.
    PlacementAnswer Place(int64_t utc, int64_t capture, int64_t bias, int64_t tolerance,
                          TrackMatcher& nearest) const;

private:
    struct Timed {
        int64_t time;
        size_t position;
    };
    struct Leg {
        int64_t start;
        int64_t end;
        size_t a;
        size_t b;
    };
    std::optional<TrackMatch> Exact(int64_t utc) const;
    std::optional<TrackMatch> Between(int64_t utc) const;
    Unplaced WhyNot(int64_t utc, int64_t& distance) const;
    // The shortest gap over the limit between two points of a segment around `utc`, or null.
    const Leg* ShortestGapAround(int64_t utc) const;
    static void SortWithReach(std::vector<Leg>& legs, std::vector<int64_t>& reachSoFar);

    const TrackLog& m_Log;
    int64_t m_MaxGap;
    std::vector<Timed> m_Times;           // every dated point, by (time, position)
    std::vector<int64_t> m_SegmentTimes;  // the times of the dated points of segments, sorted
    std::vector<Leg> m_Legs;              // consecutive points of a segment, by (start, a)
    std::vector<int64_t> m_ReachSoFar;    // the latest end among the legs up to each
    std::vector<Leg> m_LongGaps;          // consecutive points more than the limit apart
    std::vector<int64_t> m_LongGapReach;  // the latest end among the long gaps up to each
};
