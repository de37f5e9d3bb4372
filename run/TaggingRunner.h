// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What starts a tagging pass: the engine, or a fake of the tests'.

#include <memory>

#include "run/RunInputs.h"
#include "run/TaggingRunEvents.h"

class TaggingRunner {
public:
    virtual ~TaggingRunner() = default;
    // One whole pass with `inputs`, on the calling thread (a worker): RunStarted first, the
    // counts as they grow, RunFinished with the summary last, whatever happens.
    virtual void RunTaggingPass(TaggingRunEvents& events, const TaggingRunInputs& inputs) = 0;
    // Asks a pass in progress to stop between photos. Thread-safe.
    virtual void RequestStop() = 0;
    virtual void ClearStopRequest() = 0;
};

// The program's runner: a TaggingEngine.
std::unique_ptr<TaggingRunner> MakeTaggingEngine();
