// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading the points of a GPX file into a TrackLog.
//
// The file is parsed in a process of its own (fenrik-gpx-reader, see GpxReaderProcess.h) under
// limits on memory and time, so that no file, however made, can crash, hang or exhaust the
// program: the worst it can do is give an empty or partial log and one Error line.

#include <atomic>
#include <cstddef>
#include <optional>
#include <string>

#include "track/TrackLog.h"
#include "track/gpx/GpxReaderProcess.h"

// How to read a GPX file.
using GpxReadOptions = TrackReadOptions;

// Appends every complete, usable point ("wpt", "trkpt" and "rtept" elements below the top
// level, in document order, with their kinds and segments) of the GPX file at `path` to `log`
// as one origin.
//
// A file that cannot be read whole adds what could be read safely and writes one Error line
// ("GPX file <path>: <problem>") to the log and a trace. The problems (the status's message):
//   "cannot be opened: <reason>"; "not a regular file" (a folder, FIFO, device or socket);
//   "too large for the memory available"; "too deeply nested";
//   "could not be parsed: <what was found>" - for an XML error the points before it are kept;
//   when the reader crashed, ran out of time or answered wrongly, none are.
// A UTF-16 file is read like its UTF-8 form; a file in an encoding that cannot be read is
// "could not be parsed: the file is encoded in <name>, which cannot be read (save it as UTF-8)".
// A stop request abandons the read: nothing is added or reported, and the status is Stopped.
TrackFileReport ReadGpxFile(const std::string& path, TrackLog& log,
                            const GpxReadOptions& options = GpxReadOptions());

// Limits for reading a file of `fileSize` bytes: three quarters of the memory available (at
// least 256 MB), 30 s of processor time plus one per megabyte, twice that on the clock.
GpxReaderLimits DefaultGpxReaderLimits(uint64_t fileSize);

// The largest file that a reader with `limits` can be expected to parse: TinyXML's document
// takes about fourteen times the file's size.
uint64_t MaxGpxFileSize(const GpxReaderLimits& limits);
