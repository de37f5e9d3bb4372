// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TagCommand.h"

#include <algorithm>
#include <csignal>
#include <map>
#include <vector>

#include "app/RunSettings.h"
#include "durable/WholeFile.h"
#include "match/PlacementText.h"
#include "platform/NumberText.h"
#include "platform/PathText.h"
#include "run/TaggingEngine.h"
#include "settings/ProfileStore.h"
#include "settings/SettingKeys.h"
#include "timezones/TimeZoneCatalogue.h"
#include "timezones/Tzdb.h"
#include "timezones/TzdbZoneSource.h"
#include "track/gpx/GpxWriter.h"

namespace {

constexpr int kBarCells = 20;

// The events of one pass on the calling thread: a progress bar on a terminal (or a line a photo),
// then the summary; the photos placed are kept for the GPX export.
class CommandLineProgress : public TaggingRunEvents {
public:
    CommandLineProgress(std::ostream& out, bool terminal, bool verbose)
        : m_Out(out), m_Terminal(terminal && !verbose), m_Verbose(verbose) {}

    void RunStarted() override {}
    void PhotoFinished(const PhotoReport& photo) override {
        if (m_Verbose) {
            m_Out << PhotoLine(photo) << '\n' << std::flush;
        }
        const bool placed = photo.match && (photo.outcome == ImageOutcome::Tagged ||
                                            photo.outcome == ImageOutcome::AlreadyTagged);
        if (placed) {
            m_Placed[photo.path] = {FileNameOf(photo.path), photo.match->position,
                                    static_cast<uint64_t>(photo.utc)};
            m_Order.push_back(photo.path);
        } else {
            m_Placed.erase(photo.path);  // its batch left it as it was
        }
    }
    void RunProgressed(const RunSummary& counts) override {
        if (m_Terminal && counts.photosListed) {
            m_Out << '\r' << ProgressBarText(counts.checked, counts.photos) << std::flush;
            m_BarShown = true;
        }
    }
    void RunFinished(const RunSummary& summary) override {
        if (m_BarShown) {
            m_Out << '\n';
        }
        m_Out << RunSummaryText(summary) << '\n' << std::flush;
        m_Summary = summary;
    }

    const RunSummary& Summary() const { return m_Summary; }
    std::vector<NamedWaypoint> Placed() const {
        std::vector<NamedWaypoint> waypoints;
        for (const std::string& path : m_Order) {
            const auto found = m_Placed.find(path);
            if (found != m_Placed.end()) {
                waypoints.push_back(found->second);
            }
        }
        return waypoints;
    }

private:
    std::ostream& m_Out;
    bool m_Terminal;
    bool m_Verbose;
    std::map<std::string, NamedWaypoint> m_Placed;
    std::vector<std::string> m_Order;
    bool m_BarShown = false;
    RunSummary m_Summary;
};

TaggingEngine* g_Running = nullptr;

// Ctrl+C asks the pass to stop after the photo in hand, so no photo is left half done.
extern "C" void OnInterrupt(int) {
    if (g_Running != nullptr) {
        g_Running->RequestStop();
    }
}

// The catalogue's name for a zone given on the command line, or the empty text.
std::string CatalogueZoneName(const std::string& name) {
    const std::string directory = TzdbDirectory();
    const std::vector<std::string> ids = CatalogueZoneIds(directory);
    const std::string id = CatalogueZoneIdFor(name, ids, directory);
    return std::find(ids.begin(), ids.end(), id) != ids.end() ? id : std::string();
}

// The name of the catalogue zone at the TZIndex stored in `profile`, or the empty text.
std::string StoredCatalogueZone(const ProfileStore& profile) {
    TimeZoneCatalogue catalogue(SystemZoneSource());
    catalogue.LoadTimeZones();
    const TimeZoneEntry* entry =
        catalogue.FindTimeZoneByIndex(profile.GetProfileInt(kSettingsSection, kTZIndex, 0));
    return entry != nullptr ? entry->Std : std::string();
}

}  // namespace

std::string ProgressBarText(uint64_t done, uint64_t total) {
    const uint64_t filled = total == 0 ? kBarCells : done * kBarCells / total;
    std::string bar = "[";
    for (int cell = 0; cell < kBarCells; ++cell) {
        bar += static_cast<uint64_t>(cell) < filled ? '#' : '.';
    }
    return bar + "]  " + std::to_string(done) + "/" + std::to_string(total) + " photos";
}

std::string ApplyCommandLine(const CommandLine& line, LiveSettings& settings) {
    if (line.zone) {
        const std::string id = CatalogueZoneName(*line.zone);
        if (id.empty()) {
            return "fenrik: --zone: unknown time zone \"" + *line.zone + "\"";
        }
        const ZoneReading zone = ReadTzdbZone(id);
        if (zone.failure != nullptr) {
            return "fenrik: --zone: unknown time zone \"" + *line.zone + "\"";
        }
        settings.m_TimeZoneId = id;
        settings.m_BiasInMinutes = zone.entry.Bias;
    }
    if (line.gpx) {
        settings.m_Device = *line.gpx;
    }
    if (!line.folders.empty()) {
        for (int n = 1; n <= 4; ++n) {
            const size_t i = static_cast<size_t>(n - 1);
            settings.HotFolder(n) = i < line.folders.size() ? line.folders[i] : std::string();
        }
    }
    if (line.toleranceHours) {
        settings.m_ToleranceHours = *line.toleranceHours;
        settings.m_ToleranceMinutes = *line.toleranceMinutes;
    }
    if (line.photoZone) {
        settings.m_UsePhotoTimeZone = *line.photoZone ? 1 : 0;
    }
    if (line.daylightSaving) {
        settings.m_FollowDaylightSaving = *line.daylightSaving ? 1 : 0;
    }
    if (line.clockCorrectionSeconds) {
        settings.m_ClockCorrectionSeconds = *line.clockCorrectionSeconds;
    }
    if (line.replacePositions) {
        settings.m_ReplaceRecordedPositions = *line.replacePositions ? 1 : 0;
    }
    if (line.rawSidecars) {
        settings.m_RawSidecars = *line.rawSidecars ? 1 : 0;
    }
    if (line.logDir) {
        settings.m_UseLogfile = 1;
        settings.m_LogfileDir = *line.logDir;
    }
    if (line.interpolate) {
        settings.m_InterpolatePositions = *line.interpolate ? 1 : 0;
    }
    if (line.maxGapSeconds) {
        settings.m_MaxInterpolationGapSeconds = *line.maxGapSeconds;
    }
    return std::string();
}

std::string PhotoLine(const PhotoReport& photo) {
    std::string line = OutcomeWord(photo.outcome);
    if (photo.match) {
        const GeoPosition& position = photo.match->position;
        line += FormatC(80, "\t%.7f\t%.7f", position.latitude, position.longitude);
        line += HasElevation(position.elevation) ? FormatC(40, "\t%.2f", position.elevation)
                                                 : std::string("\t-");
        line += "\t" + PlacedHow(*photo.match, photo.utc);
    } else {
        line += "\t-\t-\t-\t-";
    }
    line += "\t" + (photo.offset.empty() ? std::string("-") : photo.offset);
    return line + "\t" + photo.path;
}

int RunTagCommand(const LiveSettings& settings, const std::array<bool, 4>& hotFolderOn,
                  const TagOutput& output, std::ostream& out, std::ostream& err, bool terminal) {
    TaggingRunInputs inputs = RunInputsFrom(settings);
    inputs.hotFolderOn = hotFolderOn;
    inputs.dryRun = output.dryRun;
    const Status log = OpenRunLog(inputs);
    if (!log.ok()) {
        err << "fenrik: " << log.message() << '\n';
        return kExitBadUsage;
    }
    TaggingEngine engine;
    CommandLineProgress progress(out, terminal, output.verbose);
    g_Running = &engine;
    const auto previous = std::signal(SIGINT, OnInterrupt);
    engine.RunTaggingPass(progress, inputs);
    std::signal(SIGINT, previous);
    g_Running = nullptr;
    bool failed = RunReportedErrors(progress.Summary());
    if (output.exportGpx) {
        const Status exported =
            WriteWholeFile(*output.exportGpx, GpxWaypointsDocument(progress.Placed()));
        if (!exported.ok()) {
            err << "fenrik: --export-gpx: " << exported.message() << '\n';
            failed = true;
        }
    }
    return failed ? kExitCompletedWithErrors : kExitCompleted;
}

bool PassFromCommandLine(const CommandLine& line, const ProfileStore& profile,
                         LiveSettings& settings, std::array<bool, 4>& hotFolderOn,
                         std::ostream& err) {
    settings = ReadStoredSettings(profile);
    if (!line.zone && settings.m_TimeZoneId.empty()) {
        // A profile from before the zone's name was kept.
        settings.m_TimeZoneId = StoredCatalogueZone(profile);
    }
    const std::string problem = ApplyCommandLine(line, settings);
    if (!problem.empty()) {
        err << problem << '\n';
        return false;
    }
    for (size_t i = 0; i < hotFolderOn.size(); ++i) {
        // As in the window, a hot folder is on only when it is switched on and set.
        hotFolderOn[i] =
            (line.folders.empty()
                 ? profile.GetProfileInt(kSettingsSection, kHotFolderEnabledKeys[i], 0) != 0
                 : i < line.folders.size()) &&
            !settings.HotFolder(static_cast<int>(i) + 1).empty();
    }
    return true;
}

TagOutput TagOutputOf(const CommandLine& line) {
    TagOutput output;
    output.dryRun = line.dryRun;
    output.verbose = line.verbose;
    output.exportGpx = line.exportGpx;
    return output;
}

int TagFromCommandLine(const CommandLine& line, const ProfileStore& profile, std::ostream& out,
                       std::ostream& err, bool terminal) {
    LiveSettings settings;
    std::array<bool, 4> hotFolderOn = {};
    if (!PassFromCommandLine(line, profile, settings, hotFolderOn, err)) {
        return kExitBadUsage;
    }
    return RunTagCommand(settings, hotFolderOn, TagOutputOf(line), out, err, terminal);
}
