// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a tagging run tells the one who started it. The run calls
// the events on its worker thread; whoever receives them decides what each means for its own
// controls, and carries that out on its own thread.

#include "run/PhotoReport.h"
#include "run/RunSummary.h"

class TaggingRunEvents {
public:
    virtual ~TaggingRunEvents() = default;
    // The run has begun: nothing is read yet.
    virtual void RunStarted() = 0;
    // The counts so far: once before the GPX file is read, once the hot folders are listed,
    // and after every photo.
    virtual void RunProgressed(const RunSummary& counts) = 0;
    // The run has ended, whatever happened during it, and did what `summary` says. The last
    // event of every run.
    virtual void RunFinished(const RunSummary& summary) = 0;
    // A photo is done with (and, should its batch then leave it as it was, done again as
    // skipped), in the folders' order.
    virtual void PhotoFinished(const PhotoReport& photo) { (void)photo; }
};
