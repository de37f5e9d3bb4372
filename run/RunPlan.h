// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The first step of a run: where each photo of the hot folders would go. Planning lists the
// folders, reads each photo's header once and places it on the track; it writes nothing.
// Placing again under other settings reads no photo.

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "match/CaptureTime.h"
#include "match/TimestampMatcher.h"
#include "photo/HotFolderFiles.h"
#include "photo/PhotoFacts.h"
#include "platform/Status.h"
#include "run/RunInputs.h"

// What a run would do with a photo.
enum class PhotoOutcome : uint8_t {
    Tag,            // a position to write
    NoMatch,        // no track point within the tolerance
    NoCaptureTime,  // a capture time that does not form a valid date
    HadPosition,    // it carries a position of its own, which the run keeps
    Skipped,        // it could not be read
};

struct Placement {
    PhotoOutcome outcome = PhotoOutcome::Skipped;
    std::optional<PhotoCapture> capture;
    std::optional<TrackMatch> match;              // when outcome is Tag
    Unplaced why = Unplaced::BeyondTheTolerance;  // NoMatch: why, as placement between points tells
    int64_t distance = 0;                         // NoMatch before or after the track: how far
    // The photo's moment in UTC as it was matched, 100-ns units.
    int64_t Utc() const {
        return capture ? capture->corrected + capture->subSecond + capture->Bias() : 0;
    }
};

struct PlannedPhoto {
    ImageFile file;
    bool read = false;  // its header has been read (a stop may come first)
    Status readStatus;  // why it could not be read
    PhotoFacts facts;
    Placement placement;
};

struct PlannedFolder {
    int number = 0;  // hot folder 1 .. 4
    std::string path;
    Status listed;  // why it could not be listed; Ok when it was
    std::vector<PlannedPhoto> photos;
};

struct RunPlan {
    std::vector<PlannedFolder> folders;
    uint64_t PhotoCount() const;
};

// The hot folders that take part, in order, each with its photos listed and not yet read. A
// folder that cannot be listed is reported with an Error line "Hot folder N (path): <why>".
RunPlan ListPlan(const TaggingRunInputs& inputs);

// Reads the facts of every listed photo, in order, calling `onRead` after each. Stops early,
// leaving the rest unread, once `stop` is true.
void ReadPlan(RunPlan& plan, const std::atomic<bool>& stop, const std::function<void()>& onRead);

// Where a photo read so goes under `inputs`: a photo that carries a position the run keeps,
// one without a valid capture time, one without a point within the tolerance, or the match.
Placement PlacePhoto(const PlannedPhoto& photo, const TaggingRunInputs& inputs,
                     TrackMatcher& matcher);

// Places every read photo of the plan again, reading nothing.
void PlacePlan(RunPlan& plan, const TaggingRunInputs& inputs, TrackMatcher& matcher);
