// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the log and the command line tell where a photo was placed, or why nowhere.

#include <cstdint>
#include <string>

#include "match/TrackMatch.h"

// "exact", "interpolated between points 12 s and 18 s away" or "nearest point, 40 s away", for a
// photo taken at `utc` (100-ns units).
std::string PlacedHow(const TrackMatch& match, int64_t utc);

// "3 min 20 s before the track starts", "... after the track ends", "between two track points
// 45 min apart, more than the largest gap", "in a gap between track segments", or "farther than
// <tolerance> from any point".
std::string NotPlacedWhy(Unplaced why, int64_t distance, const std::string& tolerance);

// A span of 100-ns units in words: "0.4 s" below ten seconds with a fraction, else DurationText
// of its whole seconds.
std::string SpanText(int64_t units);
