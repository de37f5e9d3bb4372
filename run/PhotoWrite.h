// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One photo on the write side of a run: what became of it, and the new file that a write
// thread makes for it.

#include <sys/types.h>

#include <future>
#include <memory>
#include <string>

#include "durable/ReplacementBatch.h"
#include "match/TrackMatch.h"
#include "photo/PhotoSource.h"
#include "run/PhotoReport.h"
#include "run/RunSummary.h"

struct ImageResult {
    ImageOutcome outcome = ImageOutcome::Skipped;
    bool ownOffset = false;       // read with the time offset it records itself
    bool raw = false;             // a RAW photo
    bool sidecarWritten = false;  // its sidecar's new content waits in the batch
    bool unreadable = false;      // the image library cannot read the RAW photo
    PhotoReport report;           // its path, outcome and placement, as the run reports them
};

// Adds one photo's result to the counts.
void CountOutcome(RunSummary& summary, const ImageResult& result);
// Adds `change` to the count of photos tagged by `method`.
void CountMethod(RunSummary& summary, PlacementMethod method, int64_t change);

// A tagged photo whose new file a write thread makes: the photo, its new content, and what the
// making gave. Until `made` is ready, only the write thread touches the photo and the results.
struct PhotoWrite {
    std::string path;
    dev_t device = 0;  // the photo's file, as the run's thread knows it
    ino_t inode = 0;
    PhotoSource photo;
    NewContent content;
    std::future<void> made;
    bool inTurn = false;  // made by the run's own thread when it is queued
    Status prepared = Status::Failed("cannot write the new file");
    PendingReplacement pending;
    int tag = 0;  // the batch's mark for it
    // Makes the photo's new file into `into`, as PrepareReplacement does.
    Status Make(PendingReplacement& into, const WriteFaults* faults);
};
