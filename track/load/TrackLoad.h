// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Loading a run's track from a file, or from every track file of a folder.

#include <cstddef>
#include <string>
#include <vector>

#include "platform/Status.h"
#include "track/TrackLog.h"
#include "track/TrackSource.h"

// The files of one kind that a folder held ("FIT", 3).
struct TrackKindCount {
    std::string format;
    size_t files = 0;
};

// What loading a track path gave.
struct TrackLoadReport {
    size_t points = 0;       // points appended to the log
    Status status;           // why the path was not read completely; Stopped on a stop request
    size_t files = 0;        // a folder: its track files that were read or tried; 0 for a file
    size_t failedFiles = 0;  // a folder: those of them that were not read completely
    std::string format;      // a file: what it was read as ("GPX", "FIT"); empty when unknown
    std::vector<TrackKindCount> kinds;  // a folder: its files by kind, in order of first file
};

// Appends the points of the track file at `path` to `log` (not emptied); an empty path gives "no
// GPX file chosen". A folder reads each of TrackFileNamesIn, then the photos with positions in it
// and its direct subfolders (one origin each), reporting the first failure as "<name>: <problem>",
// or "no GPX files in the folder" (also an Error line) when it gave nothing. A stop request
// abandons the load, adding and reporting nothing more.
TrackLoadReport LoadTrackLog(const std::string& path, TrackLog& log,
                             const TrackReadOptions& options = TrackReadOptions());

// The regular files (links included) directly in `folder` that a source takes by name, sorted
// byte-wise; empty when the folder cannot be read.
std::vector<std::string> TrackFileNamesIn(const std::string& folder);

// The source that takes the name, else the first bytes, else the fallback.
const TrackSource& TrackSourceFor(const std::string& path);

// Every extension some source takes by name, in lower case without the dot, "gpx" first.
std::vector<std::string> TrackFileExtensions();
