// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Running the GPX reader process (fenrik-gpx-reader) on open files and collecting its answers.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "track/TrackSource.h"
#include "track/gpx/GpxWire.h"

using GpxReaderLimits = ReaderLimits;

struct GpxReaderRequest {
    std::string readerPath;    // the reader executable
    std::vector<int> fileFds;  // the GPX files, open for reading (regular files), answered in turn
    GpxReaderLimits limits;
    size_t maxRecordBytes = 0;                // bound on each text in the answer
    size_t maxPoints = 0;                     // bound on the points in the answer
    bool trace = false;                       // ask for the reader's traces
    const std::atomic<bool>* stop = nullptr;  // when set to true, the reader is killed
    // A file of another format (one only): GPSBabel's name of it, the program and the most GPX
    // it may write; without a program, a format the reader reads itself ("location-history").
    std::string convertFormat;
    std::string converter;
    uint64_t maxConvertedBytes = 0;
};

// How the run ended.
enum class GpxReaderEnd {
    Answered,    // exited normally after a complete, well-formed answer
    Exited,      // exited with a status other than 0 (code)
    Signalled,   // died of a signal (code)
    TimedOut,    // ran past its wall-clock limit and was killed
    Stopped,     // killed because a stop was requested
    Malformed,   // its answer broke the format, or ended without the end record
    NotStarted,  // could not be started (error)
};

struct GpxReaderRun {
    GpxReaderEnd end = GpxReaderEnd::NotStarted;
    int code = 0;
    std::string error;
    // The complete answers, one a file from the first; all of them only when Answered.
    std::vector<GpxAnswer> answers;
};

// Runs the reader on the file, forwarding its traces as they arrive, and returns once it has
// ended. Never throws for anything the reader does.
GpxReaderRun RunGpxReader(const GpxReaderRequest& request);

// The reader in ../libexec/fenrik/ from the program's folder, else the one built; empty if none.
std::string DefaultGpxReaderPath();
