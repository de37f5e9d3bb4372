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
