// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// `fenrik --tag`: one tagging pass from the command line, with the engine the window uses and
// no display. The stored settings supply whatever the command line does not give; nothing is
// written back to them.

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

// Runs one pass with `settings` and the hot folders of `hotFolderOn`. Progress goes to
// `out` as a bar redrawn in place when `terminal` is set, and the run summary ends the output
// on a line of its own. Returns kExitCompleted, or kExitCompletedWithErrors when the run wrote
// an Error line (a GPX file or a photo that could not be read or written, or a failed run). A
// log that cannot be written is bad usage: one line on `err`, and nothing is tagged.
int RunTagCommand(const LiveSettings& settings, const std::array<bool, 4>& hotFolderOn,
                  const TagOutput& output, std::ostream& out, std::ostream& err, bool terminal);

// The settings and hot folders of the pass `line` asks for: those stored in `profile` with the
// command line's overrides; the hot folders that are on, or every folder given by --folder.
// Returns false, with the bad-usage message written to `err`, when the pass cannot be run.
bool PassFromCommandLine(const CommandLine& line, const ProfileStore& profile,
                         LiveSettings& settings, std::array<bool, 4>& hotFolderOn,
                         std::ostream& err);
TagOutput TagOutputOf(const CommandLine& line);

// The whole of `fenrik --tag`: reads the settings stored in `profile` (never writing it),
// applies `line`, runs with the stored hot folders that are on, or with every folder given by
// --folder; bad usage is written to `err` and gives kExitBadUsage.
int TagFromCommandLine(const CommandLine& line, const ProfileStore& profile, std::ostream& out,
                       std::ostream& err, bool terminal);

// "[#########...........]  120/412 photos" for the bar, 20 cells wide.
std::string ProgressBarText(uint64_t done, uint64_t total);
