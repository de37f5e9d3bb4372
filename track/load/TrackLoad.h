// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Loading the track of a run from a file, or from every track file of a folder, through the
// registered track sources.

#include <cstddef>
#include <string>
#include <vector>

#include "platform/Status.h"
#include "track/TrackLog.h"
#include "track/TrackSource.h"

// What loading a track path gave.
struct TrackLoadReport {
    size_t points = 0;       // points appended to the log
    Status status;           // why the path was not read completely; Stopped on a stop request
    size_t files = 0;        // a folder: its track files that were read or tried; 0 for a file
    size_t failedFiles = 0;  // a folder: those of them that were not read completely
};

// Appends the points of the track file at `path` to `log`, which is not emptied first. The file
// is read by the source that takes its name, else the one that takes its first bytes, else the
// default (GPX) one, which says why it cannot be read.
//
// An empty path adds nothing and reports nothing but the problem "no GPX file chosen".
//
// A path that names a folder reads every regular file directly in it that a source takes by
// its name (see TrackFileNamesIn), one after the other, each as a file above: its points
// appended, its problem reported with its own path, and the others read all the same. The
// report then counts the files and those that failed, and its problem is the first failure
// ("<name>: <problem>"), or "no GPX files in the folder" (an Error line too).
//
// A stop request abandons the load: nothing more is added and nothing is reported.
TrackLoadReport LoadTrackLog(const std::string& path, TrackLog& log,
                             const TrackReadOptions& options = TrackReadOptions());

// The names of the regular files (or links to them) directly in `folder` that a source takes by
// name, sorted by their bytes. Empty when the folder cannot be read.
std::vector<std::string> TrackFileNamesIn(const std::string& folder);

// The source that reads the file at `path`, as LoadTrackLog chooses it.
const TrackSource& TrackSourceFor(const std::string& path);
