// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a tagging run tells the one who started it, and what it is started with. The run calls
// the events on its worker thread; whoever receives them decides what each means for its own
// controls, and carries that out on its own thread.

#include <array>
#include <cstdint>
#include <string>

#include "engine/CameraClock.h"
#include "engine/RunSummary.h"

// Everything a tagging run reads, copied when it is started: nothing the run uses may change
// under it while it works.
struct TaggingRunInputs {
    std::string gpxPath;                    // the GPX file, or a folder of tracks
    std::array<std::string, 4> hotFolders;  // the paths of hot folders 1 to 4
    std::array<bool, 4> hotFolderOn = {};   // hot folders 1 to 4 that take part
    int64_t tolerance = 0;                  // 100-ns units, as ToleranceUnits reads the texts
    int32_t biasInMinutes = 0;              // UTC = camera time + bias
    CameraClock clock;                      // how capture times are read
    bool replaceRecordedPositions = true;   // false: a photo with a position is left as it is
    bool rawSidecars = true;                // RAW photos tagged through XMP sidecars
    bool useLogfile = false;                // the run writes its own lines to the log file
    std::string logfileDir;                 // the log file's folder, when useLogfile
};

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
};
