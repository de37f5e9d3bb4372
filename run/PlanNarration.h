// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The log's account of how a photo was read and placed, written as the run comes to the photo.
// Lines of the run's own go to the log only while the run's log file setting is on.

#include <string>

#include "run/RunInputs.h"
#include "run/RunPlan.h"
#include "track/TrackLog.h"

// Writes `message` at `level` when the inputs switch the log file on.
void WriteRunLogLine(const TaggingRunInputs& inputs, unsigned level, const std::string& message);

// The lines of a read photo placed as `photo.placement` says: the recorded position kept, or
// the capture time read (with a malformed offset it ignores, and each track point examined while
// the log takes Debug lines), and the matched point's distance.
void NarratePlacement(const PlannedPhoto& photo, const TaggingRunInputs& inputs,
                      const TrackLog& log);

// The lines of a photo about to be tagged with `position`.
void NarrateTagging(const GeoPosition& position, const TaggingRunInputs& inputs);
