// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the map preview is opened with, and what the user chose in it.

#include <QString>
#include <cstdint>

#include "config/ClockFromPhoto.h"
#include "map/TileFetcher.h"
#include "run/RunInputs.h"
#include "timezones/TimeZoneCatalogue.h"

struct PreviewRequest {
    TaggingRunInputs inputs;  // the run the preview shows, before any change in it
    int32_t zoneIndex = -1;   // the catalogue entry of the inputs' zone; -1 for none
    const TimeZoneCatalogue* zones = nullptr;  // must outlive the preview
    TileServer tiles;
    QString attribution;
    ClockPhotoServices clockPhoto;  // "Set from a photo..."
};

// The camera clock and placement the user settled on.
struct PreviewChoice {
    int correctionSeconds = 0;
    int32_t zoneIndex = -1;  // -1: as the request had it
    bool followDaylightSaving = false;
    bool usePhotoTimeZone = true;
    bool interpolate = false;
    int maxGapSeconds = 1800;
};
