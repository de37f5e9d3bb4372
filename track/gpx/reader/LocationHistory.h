// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A phone's location history, streamed from JSON: memory grows with the one record being read,
// never with the file. Read in the reader process, as GPX is.
//
// Three shapes are told by their content: Takeout's Records.json ("locations": one segment),
// Takeout's Semantic Location History ("timelineObjects": each activity's simplifiedRawPath a
// segment, or its waypointPath spread over its duration when it has no raw path; each placeVisit
// a waypoint at its centre at its start and its end), and the phone's Timeline export
// ("semanticSegments" with "timelinePath" segments and visits, "rawSignals" positions as one
// segment; or iOS's top-level array with "geo:" texts and minutes from the start time).

#include <cstdint>
#include <functional>
#include <string>

#include "track/TrackPoint.h"

using HistoryPointFn = std::function<void(const TrackPoint&, PointKind, int32_t segment)>;

// Passes each usable point (a valid time, a position within range) as it is read; segments count
// from 0, waypoints have kNoSegment. Returns why the file was not read whole ("could not be
// parsed: ...", "too deeply nested", "not a location history"), or the empty text.
std::string ReadLocationHistory(int fd, const HistoryPointFn& point);
