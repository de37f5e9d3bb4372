// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One photo on the write side of a run: what became of it, and the new file that a write
// thread makes for it.

#include <sys/types.h>

#include <future>
#include <memory>
#include <string>

#include "durable/ReplacementBatch.h"
#include "photo/PhotoSource.h"
#include "run/RunSummary.h"

// What became of one photo.
enum class ImageOutcome {
    Tagged,         // rewritten with its position (or, in a dry run, it would be)
    AlreadyTagged,  // its GPS tags already held the position; left as it was
    NoMatch,        // no track point within the tolerance; left as it was
    NoCaptureTime,  // a capture time that does not form a valid date; left as it was
    Skipped,        // could not be read or written; reported, and left as it was
    HadPosition,    // carried a position of its own, kept as the run was asked to
};

struct ImageResult {
    ImageOutcome outcome = ImageOutcome::Skipped;
    bool ownOffset = false;       // read with the time offset it records itself
    bool raw = false;             // a RAW photo
    bool sidecarWritten = false;  // its sidecar's new content waits in the batch
    bool unreadable = false;      // the image library cannot read the RAW photo
};

// Adds one photo's result to the counts.
void CountOutcome(RunSummary& summary, const ImageResult& result);

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
    // Makes the photo's new file into `into`, as PrepareReplacement does.
    Status Make(PendingReplacement& into, const WriteFaults* faults);
};
