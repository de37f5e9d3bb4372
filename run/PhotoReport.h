// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What became of one photo of a run, as the run reports it.

#include <cstdint>
#include <optional>
#include <string>

#include "match/TrackMatch.h"

enum class ImageOutcome {
    Tagged,         // rewritten with its position (or, in a dry run, it would be)
    AlreadyTagged,  // its GPS tags already held the position; left as it was
    NoMatch,        // no track point within the tolerance; left as it was
    NoCaptureTime,  // a capture time that does not form a valid date; left as it was
    Skipped,        // could not be read or written; reported, and left as it was
    HadPosition,    // carried a position of its own, kept as the run was asked to
};

struct PhotoReport {
    std::string path;
    ImageOutcome outcome = ImageOutcome::Skipped;
    std::optional<TrackMatch> match;  // where it went, when it was placed
    int64_t utc = 0;                  // its moment as matched (100-ns units); 0 when unknown
    std::string offset;               // the offset it was read with, as the log names it
};

// "tagged", "already-tagged", "no-match", "no-capture-time", "skipped", "kept-position".
const char* OutcomeWord(ImageOutcome outcome);
