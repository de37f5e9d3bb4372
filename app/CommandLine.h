// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command line (window, --tag, --preview, --help, --version), parsed before Qt starts.

#include <optional>
#include <string>
#include <vector>

struct CommandLine {
    enum class Mode { Window, Tag, Preview, Help, Version, BadUsage };
    Mode mode = Mode::Window;
    std::string error;  // BadUsage: one line that names the bad option

    // --tag and --preview overrides for this run only; empty means "as stored".
    std::optional<std::string> gpx;
    std::vector<std::string> folders;           // --folder, repeatable, at most four
    std::optional<std::string> toleranceHours;  // --tolerance H:MM, split
    std::optional<std::string> toleranceMinutes;
    std::optional<std::string> zone;  // --zone, as given (checked against the catalogue later)
    std::optional<bool> photoZone;
    std::optional<bool> daylightSaving;
    std::optional<int> clockCorrectionSeconds;
    std::optional<bool> replacePositions;
    std::optional<bool> rawSidecars;
    std::optional<std::string> logDir;
    std::optional<bool> interpolate;
    std::optional<int> maxGapSeconds;      // --max-gap, at least 1
    bool dryRun = false;                   // --dry-run: everything but the writing
    bool verbose = false;                  // --verbose (implied by --dry-run): a line a photo
    std::optional<std::string> exportGpx;  // --export-gpx FILE: the photos as GPX waypoints
};

// Parses the arguments after the program's name. None starting with "--": the window, all left
// to Qt. --help (-h) and --version answer alone; --tag or --preview take UsageText's options.
// Unknown arguments, missing or malformed values, repeats (but --folder), over four folders,
// --tag with --preview, or options without either: BadUsage ("fenrik: unknown option --colour").
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The --help text.
std::string UsageText();

// The --version text: name, version and licence.
std::string VersionText();
