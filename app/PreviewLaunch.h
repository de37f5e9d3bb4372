// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Opening the map preview: its request from the settings, and the user's choice back into them.

#include <QString>
#include <array>
#include <functional>

#include "map/TileFetcher.h"
#include "preview/PreviewRequest.h"
#include "preview/PreviewWindow.h"
#include "settings/LiveSettings.h"
#include "timezones/TimeZoneCatalogue.h"

class ProfileStore;
class QWidget;

// What the user chose in a preview.
struct PreviewOutcome {
    PreviewWindow::Result result = PreviewWindow::Result::Closed;
    PreviewChoice choice;
};

// Shows a preview and waits for it; replaceable in tests.
using ShowPreviewFunction = std::function<PreviewOutcome(QWidget* parent, PreviewRequest request)>;
PreviewOutcome ShowPreviewWindow(QWidget* parent, PreviewRequest request);

// The profile's tile server (MapTileUrl; MapCacheMegabytes, at least 1) with a Fenrik User-Agent,
// cached under $XDG_CACHE_HOME.
TileServer TileServerFrom(const ProfileStore& profile);

// A preview of a run with `settings` and `hotFolderOn`, tiles as the profile names them, zone
// `zoneIndex` of `zones` (-1: the settings' zone by name, if any). `zones` must outlive it.
PreviewRequest PreviewRequestFor(const LiveSettings& settings,
                                 const std::array<bool, 4>& hotFolderOn,
                                 const ProfileStore& profile, const TimeZoneCatalogue& zones,
                                 int32_t zoneIndex = -1);

// Puts the choice's clock and placement into `settings`, and its zone if one of `zones`.
void ApplyPreviewChoice(const PreviewChoice& choice, const TimeZoneCatalogue& zones,
                        LiveSettings& settings);

// Stores only the choice's clock, placement and zone (TZIndex, TimeZoneId, BiasInMinutes).
void StorePreviewChoice(const PreviewChoice& choice, const TimeZoneCatalogue& zones,
                        ProfileStore& profile);
