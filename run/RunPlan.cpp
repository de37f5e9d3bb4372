// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/RunPlan.h"

#include "platform/DebugOutput.h"
#include "platform/Log.h"

namespace {

// A hot folder that is on but cannot be listed: reported, and its photos are not looked for.
void ReportUnreadFolder(const PlannedFolder& folder) {
    const std::string message = "Hot folder " + std::to_string(folder.number) + " (" + folder.path +
                                "): " + folder.listed.message();
    Log::Instance().Write(Error, message);
    OutputDebugStringA(message + "\n");
}

bool KeepsItsPosition(const PlannedPhoto& photo, const TaggingRunInputs& inputs) {
    return !inputs.replaceRecordedPositions && photo.facts.hasPosition;
}

}  // namespace

uint64_t RunPlan::PhotoCount() const {
    uint64_t count = 0;
    for (const PlannedFolder& folder : folders) {
        count += folder.photos.size();
    }
    return count;
}

RunPlan ListPlan(const TaggingRunInputs& inputs) {
    RunPlan plan;
    for (int n = 1; n <= 4; ++n) {
        const size_t i = static_cast<size_t>(n - 1);
        if (!inputs.hotFolderOn[i]) {
            continue;
        }
        PlannedFolder folder;
        folder.number = n;
        folder.path = inputs.hotFolders[i];
        for (ImageFile& file :
             ListHotFolderImages(folder.path, inputs.rawSidecars, &folder.listed)) {
            folder.photos.emplace_back();
            folder.photos.back().file = std::move(file);
        }
        if (!folder.listed.ok()) {
            ReportUnreadFolder(folder);
        }
        plan.folders.push_back(std::move(folder));
    }
    return plan;
}

void ReadPlan(RunPlan& plan, const std::atomic<bool>& stop, const std::function<void()>& onRead) {
    for (PlannedFolder& folder : plan.folders) {
        for (PlannedPhoto& photo : folder.photos) {
            if (stop) {
                return;
            }
            photo.readStatus = ReadPhotoFacts(photo.file, photo.facts);
            photo.read = true;
            if (onRead) {
                onRead();
            }
        }
    }
}

Placement PlacePhoto(const PlannedPhoto& photo, const TaggingRunInputs& inputs,
                     TrackMatcher& matcher) {
    Placement placement;
    if (!photo.read || !photo.readStatus.ok()) {
        return placement;
    }
    if (KeepsItsPosition(photo, inputs)) {
        placement.outcome = PhotoOutcome::HadPosition;
        return placement;
    }
    placement.capture = ReadCaptureTime(photo.facts.capture, inputs.clock, inputs.biasInMinutes);
    if (!placement.capture) {
        placement.outcome = PhotoOutcome::NoCaptureTime;
        return placement;
    }
    PhotoCapture& capture = *placement.capture;
    if (inputs.interpolate) {
        const PlacementAnswer answer =
            matcher.Place(capture.corrected + capture.subSecond + capture.Bias(), capture.corrected,
                          capture.Bias(), inputs.tolerance, inputs.maxGap);
        placement.match = answer.match;
        placement.why = answer.why;
        placement.distance = answer.distance;
    } else {
        capture.subSecond = 0;  // the nearest-point rule sees whole seconds
        placement.match =
            matcher.FindBestMatch(capture.corrected, capture.Bias(), inputs.tolerance);
    }
    if (!placement.match) {
        placement.outcome = PhotoOutcome::NoMatch;
    } else if (photo.file.raw && !inputs.replaceRecordedPositions &&
               photo.facts.sidecarHasPosition) {
        placement.outcome = PhotoOutcome::HadPosition;
    } else {
        placement.outcome = PhotoOutcome::Tag;
    }
    return placement;
}

void PlacePlan(RunPlan& plan, const TaggingRunInputs& inputs, TrackMatcher& matcher) {
    for (PlannedFolder& folder : plan.folders) {
        for (PlannedPhoto& photo : folder.photos) {
            photo.placement = PlacePhoto(photo, inputs, matcher);
        }
    }
}
