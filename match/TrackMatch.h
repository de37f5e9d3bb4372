// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where matching places a photo, and why it places one nowhere.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "track/TrackPoint.h"

// How a photo's position was found.
enum class PlacementMethod : uint8_t { Exact, Interpolated, Nearest };

struct TrackMatch {
    GeoPosition position;
    PlacementMethod method = PlacementMethod::Nearest;
    size_t before = 0;  // log positions of the fixes; the same one unless interpolated
    size_t after = 0;
    int64_t beforeTime = 0;  // their UTC times as matching saw them, FILETIME counts
    int64_t afterTime = 0;
};

// Why a photo got no position.
// InALongGap: between two points of a segment further apart than the largest gap (`distance`);
// InAGap: between two segments.
enum class Unplaced : uint8_t {
    BeforeTheTrack,
    AfterTheTrack,
    InALongGap,
    InAGap,
    BeyondTheTolerance
};

struct PlacementAnswer {
    std::optional<TrackMatch> match;
    Unplaced why = Unplaced::BeyondTheTolerance;  // when there is no match
    int64_t distance = 0;  // BeforeTheTrack and AfterTheTrack: how far, 100-ns units
};
