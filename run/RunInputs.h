// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a tagging run is started with.

#include <array>
#include <cstdint>
#include <string>

#include "match/CameraClock.h"
#include "platform/FileTime.h"

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
    bool interpolate = false;               // photos placed between track points
    int64_t maxGap = 1800 * kFileTimeUnitsPerSecond;  // the longest leg placed on, 100-ns units
    bool dryRun = false;                              // everything but the writing
};
