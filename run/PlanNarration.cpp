// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/PlanNarration.h"

#include "match/PlacementText.h"
#include "photo/exif/GpsTags.h"
#include "platform/DebugOutput.h"
#include "platform/Log.h"
#include "platform/NumberText.h"
#include "run/RunSummary.h"

namespace {

void NarrateMalformedOffset(const CaptureFacts& facts, const TaggingRunInputs& inputs) {
    const std::string message =
        "Ignoring the malformed time offset \"" + facts.offsetText + "\" of " + facts.offsetKey;
    if (inputs.useLogfile) {
        Log::Instance().WriteAndTrace(Info, message);
    } else {
        OutputDebugStringA(message + "\n");
    }
}

void NarrateCaptureTime(const PlannedPhoto& photo, const TaggingRunInputs& inputs) {
    const CaptureFacts& facts = photo.facts.capture;
    WriteRunLogLine(inputs, Info, "Reading Exif.Photo.DateTimeDigitized");
    if (facts.dateText.empty()) {
        return;
    }
    WriteRunLogLine(inputs, Debug, facts.dateText);
    if (!photo.placement.capture) {
        WriteRunLogLine(inputs, Info, "No valid capture time, image skipped");
    } else if (HasMalformedOffset(facts, inputs.clock)) {
        NarrateMalformedOffset(facts, inputs);
    }
}

void NarrateMatch(const PlannedPhoto& photo, const TaggingRunInputs& inputs, const TrackLog& log) {
    const PhotoCapture& capture = *photo.placement.capture;
    if (!log.IsEmpty() && Log::Instance().IsWritten(Debug)) {
        ScanForBestMatch(log, MatchQuery{capture.corrected, inputs.tolerance, capture.Bias()},
                         true);
    }
    const std::optional<TrackMatch>& match = photo.placement.match;
    if (inputs.interpolate) {
        WriteRunLogLine(
            inputs, Info,
            match ? CaptureTimeLine(capture.offset, inputs.clock,
                                    "placed: " + PlacedHow(*match, photo.placement.Utc()))
                  : "Not placed: " +
                        NotPlacedWhy(photo.placement.why, photo.placement.distance,
                                     ToleranceText(inputs.tolerance / kFileTimeUnitsPerMinute)));
    } else if (match) {
        const int64_t pointMinusCapture = match->beforeTime - (capture.corrected + capture.Bias());
        WriteRunLogLine(inputs, Info,
                        MatchedTimeLine(capture.offset, inputs.clock,
                                        pointMinusCapture / kFileTimeUnitsPerSecond));
    }
}

}  // namespace

void WriteRunLogLine(const TaggingRunInputs& inputs, unsigned level, const std::string& message) {
    if (inputs.useLogfile) {
        Log::Instance().Write(level, message);
    }
}

void NarratePlacement(const PlannedPhoto& photo, const TaggingRunInputs& inputs,
                      const TrackLog& log) {
    if (!photo.file.raw && !photo.facts.hasExif) {
        WriteRunLogLine(inputs, Info, "Created new exif header");
    }
    if (!inputs.replaceRecordedPositions && photo.facts.hasPosition) {
        WriteRunLogLine(inputs, Info, "Keeping the position recorded in the photo");
        return;
    }
    NarrateCaptureTime(photo, inputs);
    if (photo.placement.capture) {
        NarrateMatch(photo, inputs, log);
    }
}

void NarrateTagging(const GeoPosition& position, const TaggingRunInputs& inputs) {
    WriteRunLogLine(inputs, Info, "Found best match, tagging image with:");
    WriteRunLogLine(inputs, Info, "longitude:");
    WriteRunLogLine(inputs, Info, FormatC(100, "%f", position.longitude));
    WriteRunLogLine(inputs, Info, "latitude:");
    WriteRunLogLine(inputs, Info, FormatC(100, "%f", position.latitude));
    const GpsPosition gps = GpsPositionOf(position);
    if (gps.altitude) {
        WriteRunLogLine(inputs, Info, "elevation:");
        WriteRunLogLine(inputs, Info, *gps.altitude);
    }
}
