// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading a GPX file's points into a TrackLog, parsed in the GPX reader process under limits.

#include <atomic>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "track/TrackLog.h"
#include "track/gpx/GpxReaderProcess.h"

using GpxReadOptions = TrackReadOptions;

// Appends the file's usable points to `log` as one origin. A file not read whole keeps the points
// before an XML error (none after a crash, timeout or bad answer) and writes the Error line
// "GPX file <path>: <problem>": "cannot be opened: <reason>", "not a regular file", "too large
// for the memory available", "too deeply nested" or "could not be parsed: <what was found>".
// A stop request adds and reports nothing; the status is Stopped.
TrackFileReport ReadGpxFile(const std::string& path, TrackLog& log,
                            const GpxReadOptions& options = GpxReadOptions());

// Reads each file as ReadGpxFile does, in order, with one reader process for many small files
// (a failure among them is still each file's own); an empty file starts no reader.
std::vector<TrackFileReport> ReadGpxFiles(const std::vector<std::string>& paths, TrackLog& log,
                                          const GpxReadOptions& options = GpxReadOptions());

// A file of another format, which GPSBabel converts to GPX inside the reader process.
struct GpxConversion {
    std::string program;  // the GPSBabel executable; empty for a format the reader streams itself
    std::string format;   // GPSBabel's name of the file's format: "garmin_fit"
    std::string label;    // the format's common name: "FIT"
};

// As ReadGpxFile once GPSBabel has converted the file, under the same limits: one origin of format
// `label`, Error line "<label> file <path>: <problem>", the problem perhaps "GPSBabel could not
// convert it: <GPSBabel's message>".
TrackFileReport ReadConvertedFile(const std::string& path, TrackLog& log,
                                  const GpxConversion& conversion,
                                  const GpxReadOptions& options = GpxReadOptions());

// Three quarters of the memory available (at least 256 MB), 30 s of processor time plus one per
// megabyte, twice that on the clock.
GpxReaderLimits DefaultGpxReaderLimits(uint64_t fileSize);

// The largest file that a reader with `limits` can be expected to parse.
uint64_t MaxGpxFileSize(const GpxReaderLimits& limits);
