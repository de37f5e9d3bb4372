// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Matching a capture time to the closest track point within the tolerance. Times are FILETIME
// counts as signed 64-bit numbers whose arithmetic wraps.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <optional>

#include "track/TrackLog.h"

// (60 * atoi(hours) + atoi(minutes)) minutes in 100-ns units, the hours product wrapping in 32
// bits; a negative tolerance gives the window of its absolute value.
int64_t ToleranceUnits(const std::string& hoursText, const std::string& minutesText);

int64_t WholeSecondTime(const TrackPoint& point);

// The bias (UTC = camera time + bias) in 100-ns units.
int64_t BiasUnits(int32_t biasInMinutes);

// All in 100-ns units.
struct MatchQuery {
    int64_t capture = 0;
    int64_t tolerance = 0;
    int64_t bias = 0;
};

// The position of the point whose time - bias is closest to `capture` within the tolerance, the
// first of equally close ones, or -1. `writeLogLines`: the Debug lines "Checking for match with
// timestamp:", the shifted time and "Match!" for each point.
ptrdiff_t ScanForBestMatch(const TrackLog& log, const MatchQuery& query, bool writeLogLines);

// ScanForBestMatch's answer in O(log n), from a sorted index of the shifted times.
class TrackTimeIndex {
public:
    void Prepare(const TrackLog& log, int64_t bias);
    ptrdiff_t FindBestMatch(int64_t capture, int64_t tolerance) const;

private:
    struct Entry {
        int64_t shiftedTime;
        size_t position;
    };
    std::vector<Entry>::const_iterator GroupStart(std::vector<Entry>::const_iterator it) const;

    std::vector<Entry> m_Entries;  // sorted by (shiftedTime, position)
    uint64_t m_Generation = ~uint64_t{0};
    int64_t m_Bias = 0;
    const TrackLog* m_Log = nullptr;
};

enum class PlacementMethod : uint8_t { Exact, Interpolated, Nearest };

struct TrackMatch {
    GeoPosition position;
    PlacementMethod method = PlacementMethod::Nearest;
    size_t before = 0;  // log positions of the fixes; the same one unless interpolated
    size_t after = 0;
    int64_t beforeTime = 0;  // their UTC times as matching saw them, FILETIME counts
    int64_t afterTime = 0;
};

// Matches capture times against one log, which must outlive it and not change while it is used.
class TrackMatcher {
public:
    explicit TrackMatcher(const TrackLog& log) : m_Log(log) {}

    // As ScanForBestMatch for `capture` on the camera clock; nothing when none is in the window.
    std::optional<TrackMatch> FindBestMatch(int64_t capture, int64_t bias, int64_t tolerance);

    const TrackLog& Log() const { return m_Log; }

private:
    const TrackLog& m_Log;
    TrackTimeIndex m_Index;
};
