// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A phone's location history streamed from JSON (memory follows one record), in the reader process.
//
// Told by content: Takeout's Records.json ("locations": one segment), Semantic Location History
// ("timelineObjects": activities' paths as segments, placeVisits as waypoints at start and end),
// Timeline exports ("semanticSegments", "rawSignals") and iOS's top-level array of "geo:" texts.

#include <cstdint>
#include <functional>
#include <string>

#include "track/TrackPoint.h"

using HistoryPointFn = std::function<void(const TrackPoint&, PointKind, int32_t segment)>;

// Passes each usable point (a valid time, a position within range) as it is read; segments count
// from 0, waypoints have kNoSegment. Returns why the file was not read whole ("could not be
// parsed: ...", "too deeply nested", "not a location history"), or the empty text.
std::string ReadLocationHistory(int fd, const HistoryPointFn& point);
