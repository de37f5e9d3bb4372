// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading the points of a GPX file into a TrackLog, parsed in the GPX reader process under limits
// on memory and time.

#include <atomic>
#include <cstddef>
#include <optional>
#include <string>

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

// Three quarters of the memory available (at least 256 MB), 30 s of processor time plus one per
// megabyte, twice that on the clock.
GpxReaderLimits DefaultGpxReaderLimits(uint64_t fileSize);

// The largest file that a reader with `limits` can be expected to parse.
uint64_t MaxGpxFileSize(const GpxReaderLimits& limits);
