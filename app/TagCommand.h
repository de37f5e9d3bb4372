// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// `fenrik --tag`: one pass without a display; stored settings fill in, never written back.

#include <array>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "app/CommandLine.h"
#include "run/PhotoReport.h"
#include "settings/LiveSettings.h"

class ProfileStore;

// The exit statuses of the command line.
inline constexpr int kExitCompleted = 0;
inline constexpr int kExitCompletedWithErrors = 1;
inline constexpr int kExitBadUsage = 2;

// The stored settings with the command line's overrides (--folder replaces hot folders 1 to 4,
// --log switches the log on). Returns the bad-usage message for an unknown zone, else empty.
std::string ApplyCommandLine(const CommandLine& line, LiveSettings& settings);

// What the command line shows of a pass besides its summary.
struct TagOutput {
    bool dryRun = false;   // everything but the writing
    bool verbose = false;  // a line a photo (PhotoLine)
    std::optional<std::string>
        exportGpx;  // the photos' positions as GPX waypoints, written atomically
};

// A photo's line of --verbose: outcome, latitude, longitude, elevation, how it was placed and the
// offset it was read with ("-" for what it lacks), then its path, separated by tabs.
std::string PhotoLine(const PhotoReport& photo);

// One pass with `settings` and `hotFolderOn`; progress on `out` (a bar redrawn if `terminal`),
// then the summary line. kExitCompletedWithErrors if the run wrote an Error line, else
// kExitCompleted; an unwritable log is bad usage: one line on `err`, nothing tagged.
int RunTagCommand(const LiveSettings& settings, const std::array<bool, 4>& hotFolderOn,
                  const TagOutput& output, std::ostream& out, std::ostream& err, bool terminal);

// The pass `line` asks for: `profile`'s settings with its overrides, the hot folders on (or every
// --folder). False, with the bad-usage message on `err`, when the pass cannot be run.
bool PassFromCommandLine(const CommandLine& line, const ProfileStore& profile,
                         LiveSettings& settings, std::array<bool, 4>& hotFolderOn,
                         std::ostream& err);
TagOutput TagOutputOf(const CommandLine& line);

// All of `fenrik --tag`: PassFromCommandLine (never writing `profile`), then RunTagCommand; bad
// usage is written to `err` and gives kExitBadUsage.
int TagFromCommandLine(const CommandLine& line, const ProfileStore& profile, std::ostream& out,
                       std::ostream& err, bool terminal);

// "[#########...........]  120/412 photos" for the bar, 20 cells wide.
std::string ProgressBarText(uint64_t done, uint64_t total);
