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
#include <vector>

#include "track/TrackLog.h"
#include "track/gpx/GpxReaderProcess.h"

// What loading a GPX file gave.
struct GpxLoadReport {
    size_t points = 0;       // points appended to the log
    std::string problem;     // why the file was not read completely; empty when it was
    size_t files = 0;        // a folder: its GPX files that were read or tried; 0 for a file
    size_t failedFiles = 0;  // a folder: those of them that were not read completely
};

// How to read. The defaults suit the program; tests choose their own reader and limits.
struct GpxReadOptions {
    std::string readerPath;                   // empty: DefaultGpxReaderPath()
    std::optional<GpxReaderLimits> limits;    // empty: DefaultGpxReaderLimits(file size)
    const std::atomic<bool>* stop = nullptr;  // once true, reading is abandoned
};

// Appends every complete, usable point ("wpt", "trkpt" and "rtept" elements below the top
// level, in document order) of the GPX file at `path` to `log`, which is not emptied first.
//
// An empty path adds nothing and reports nothing but the problem "no GPX file chosen". Any
// other file that cannot be read whole adds what could be read safely and writes one Error
// line ("GPX file <path>: <problem>") to the log and a trace. The problems:
//   "cannot be opened: <reason>"; "not a regular file" (a folder, FIFO, device or socket);
//   "too large for the memory available"; "too deeply nested";
//   "could not be parsed: <what was found>" - for an XML error the points before it are kept;
//   when the reader crashed, ran out of time or answered wrongly, none are.
// A UTF-16 file (either byte order, with or without a byte-order mark) is read like its UTF-8
// form; a file in an encoding that cannot be read (UTF-32, EBCDIC) is "could not be parsed:
// the file is encoded in <name>, which cannot be read (save it as UTF-8)".
//
// A path that names a folder reads every regular file directly in it whose name ends in ".gpx"
// in any case (see GpxFileNamesIn), one after the other, each as a file above: its points
// appended in document order, its problem reported with its own path, and the others read all
// the same. The report then counts the files and those that failed, and its problem is the first
// failure ("<name>: <problem>"), or "no GPX files in the folder" (an Error line too).
//
// A stop request abandons the load: nothing more is added and nothing is reported. Never throws
// except std::bad_alloc when the program itself runs out of memory.
GpxLoadReport LoadTrackLog(const std::string& path, TrackLog& log,
                           const GpxReadOptions& options = GpxReadOptions());

// The names of the regular files (or links to them) directly in `folder` whose names end in
// ".gpx" in any case, sorted by their bytes. Empty when the folder cannot be read.
std::vector<std::string> GpxFileNamesIn(const std::string& folder);

// Limits for reading a file of `fileSize` bytes: three quarters of the memory available (at
// least 256 MB), 30 s of processor time plus one per megabyte, twice that on the clock.
GpxReaderLimits DefaultGpxReaderLimits(uint64_t fileSize);

// The largest file that a reader with `limits` can be expected to parse: TinyXML's document
// takes about fourteen times the file's size.
uint64_t MaxGpxFileSize(const GpxReaderLimits& limits);
