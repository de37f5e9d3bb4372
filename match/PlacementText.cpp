// SPDX-License-Identifier: GPL-3.0-or-later
#include "match/PlacementText.h"

#include "match/ClockCorrectionText.h"
#include "platform/FileTime.h"
#include "platform/NumberText.h"

std::string SpanText(int64_t units) {
    const int64_t magnitude = units < 0 ? -units : units;
    if (magnitude < 10 * kFileTimeUnitsPerSecond && magnitude % kFileTimeUnitsPerSecond != 0) {
        return FormatC(
            32, "%.1f s",
            static_cast<double>(magnitude) / static_cast<double>(kFileTimeUnitsPerSecond));
    }
    return DurationText(magnitude / kFileTimeUnitsPerSecond);
}

std::string PlacedHow(const TrackMatch& match, int64_t utc) {
    switch (match.method) {
        case PlacementMethod::Exact:
            return "exact";
        case PlacementMethod::Interpolated:
            return "interpolated between points " + SpanText(utc - match.beforeTime) + " and " +
                   SpanText(match.afterTime - utc) + " away";
        default:
            return "nearest point, " + SpanText(match.beforeTime - utc) + " away";
    }
}

std::string NotPlacedWhy(Unplaced why, int64_t distance, const std::string& tolerance) {
    switch (why) {
        case Unplaced::BeforeTheTrack:
            return SpanText(distance) + " before the track starts";
        case Unplaced::AfterTheTrack:
            return SpanText(distance) + " after the track ends";
        case Unplaced::InALongGap:
            return "between two track points " + SpanText(distance) +
                   " apart, more than the largest gap";
        case Unplaced::InAGap:
            return "in a gap between track segments";
        default:
            return "farther than " + tolerance + " from any point";
    }
}
