// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PreviewCommand.h"

#include <array>

#include "app/TagCommand.h"
#include "settings/ProfileStore.h"
#include "timezones/TzdbZoneSource.h"

int PreviewFromCommandLine(const CommandLine& line, ProfileStore& profile, std::ostream& out,
                           std::ostream& err, const ShowPreviewFunction& show) {
    LiveSettings settings;
    std::array<bool, 4> hotFolderOn = {};
    if (!PassFromCommandLine(line, profile, settings, hotFolderOn, err)) {
        return kExitBadUsage;
    }
    TimeZoneCatalogue zones(SystemZoneSource());
    zones.LoadTimeZones();
    const PreviewOutcome outcome =
        show(nullptr, PreviewRequestFor(settings, hotFolderOn, profile, zones));
    if (outcome.result == PreviewWindow::Result::Closed) {
        return kExitCompleted;
    }
    ApplyPreviewChoice(outcome.choice, zones, settings);
    if (outcome.result == PreviewWindow::Result::UseSettings) {
        StorePreviewChoice(outcome.choice, zones, profile);
        return kExitCompleted;
    }
    return RunTagCommand(settings, hotFolderOn, TagOutputOf(line), out, err, false);
}
