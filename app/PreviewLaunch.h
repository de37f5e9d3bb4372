// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Opening the map preview from the window, the dialog and the command line: its request from the
// settings, and the settings the user chose in it back into them.

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

// The tile server the profile names (MapTileUrl, MapCacheMegabytes), asked with a User-Agent that
// names Fenrik and its version, cached in the user's cache folder ($XDG_CACHE_HOME). A cache size
// below 1 MB is taken as 1 MB.
TileServer TileServerFrom(const ProfileStore& profile);

// A preview of a run with `settings` and the hot folders of `hotFolderOn`: the tiles and the
// attribution as the profile names them, the zone `zoneIndex` of `zones` (-1: the settings' zone
// by its name, if the catalogue has it). `zones` must outlive the preview.
PreviewRequest PreviewRequestFor(const LiveSettings& settings,
                                 const std::array<bool, 4>& hotFolderOn,
                                 const ProfileStore& profile, const TimeZoneCatalogue& zones,
                                 int32_t zoneIndex = -1);

// `settings` with the choice's camera clock and placement; the zone's name and bias from `zones`
// when the choice names one of its entries.
void ApplyPreviewChoice(const PreviewChoice& choice, const TimeZoneCatalogue& zones,
                        LiveSettings& settings);

// Stores the choice's camera clock and placement settings, and its zone as a pick in the dialog
// would (TZIndex, TimeZoneId, BiasInMinutes); nothing else.
void StorePreviewChoice(const PreviewChoice& choice, const TimeZoneCatalogue& zones,
                        ProfileStore& profile);
