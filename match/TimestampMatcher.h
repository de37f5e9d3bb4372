// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Matching a capture time to the closest track point within the tolerance.
//
// All times are FILETIME counts handled as signed 64-bit numbers; arithmetic wraps as on the
// machine rather than overflowing.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <optional>

#include "track/TrackLog.h"

// The tolerance in 100-ns units: (60 * atoi(hours) + atoi(minutes)) * 600,000,000, the hours
// product formed in 32 bits (it wraps for absurd hour counts), the rest in 64 bits. Texts that
// are not numbers count as 0; a negative tolerance gives the same window as its absolute value.
int64_t ToleranceUnits(const std::string& hoursText, const std::string& minutesText);

// A point's time as the nearest-point rule sees it: cut to the whole second.
int64_t WholeSecondTime(const TrackPoint& point);

// The bias (UTC = camera time + bias) in 100-ns units: bias * 600,000,000.
int64_t BiasUnits(int32_t biasInMinutes);

// What one match works with: the capture time, the tolerance and the bias, all in 100-ns units.
struct MatchQuery {
    int64_t capture = 0;
    int64_t tolerance = 0;
    int64_t bias = 0;
};

// Scans the whole log in order, as the reference algorithm: each point's time is shifted onto
// the camera clock (time - bias); points outside [capture - tolerance, capture + tolerance]
// are skipped; the strictly closest wins, so the first of equally close points is kept. When
// `writeLogLines` is set, writes the Debug lines "Checking for match with timestamp:", the
// shifted time and "Match!" for each point. Returns the position of the best point, or -1.
ptrdiff_t ScanForBestMatch(const TrackLog& log, const MatchQuery& query, bool writeLogLines);

// A sorted index of the shifted point times, giving the same answer as ScanForBestMatch in
// O(log n). Rebuilt on demand when the log changes or the bias differs from the last build.
class TrackTimeIndex {
public:
    // Makes the index current for `log` and `bias`; cheap when it already is.
    void Prepare(const TrackLog& log, int64_t bias);
    // The position ScanForBestMatch would return for the prepared log, or -1.
    ptrdiff_t FindBestMatch(int64_t capture, int64_t tolerance) const;

private:
    struct Entry {
        int64_t shiftedTime;
        size_t position;
    };
    // First entry of the group of equal times that `it` lies in.
    std::vector<Entry>::const_iterator GroupStart(std::vector<Entry>::const_iterator it) const;

    std::vector<Entry> m_Entries;  // sorted by (shiftedTime, position)
    uint64_t m_Generation = ~uint64_t{0};
    int64_t m_Bias = 0;
    const TrackLog* m_Log = nullptr;
};

// How a photo's position was found.
enum class PlacementMethod : uint8_t { Exact, Interpolated, Nearest };

// Where matching places a photo: the position, how it was found and the fixes it came from.
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

    // FindBestMatch: the point closest to `capture` (camera clock) shifted by `bias` (100-ns
    // units, UTC = capture + bias) within `tolerance`, the first of equally close points;
    // nothing when no point lies in the window.
    std::optional<TrackMatch> FindBestMatch(int64_t capture, int64_t bias, int64_t tolerance);

    const TrackLog& Log() const { return m_Log; }

private:
    const TrackLog& m_Log;
    TrackTimeIndex m_Index;
};
