// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Running the GPX reader process (fenrik-gpx-reader) on one open file and collecting its answer.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

#include "track/TrackSource.h"
#include "track/gpx/GpxWire.h"

using GpxReaderLimits = ReaderLimits;

struct GpxReaderRequest {
    std::string readerPath;  // the reader executable
    int fileFd = -1;         // the GPX file, open for reading (a regular file)
    GpxReaderLimits limits;
    size_t maxRecordBytes = 0;                // bound on each text in the answer
    size_t maxPoints = 0;                     // bound on the points in the answer
    bool trace = false;                       // ask for the reader's traces
    const std::atomic<bool>* stop = nullptr;  // when set to true, the reader is killed
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
    GpxAnswer answer;  // complete only when Answered
};

// Runs the reader on the file, forwarding its traces as they arrive, and returns once it has
// ended. Never throws for anything the reader does.
GpxReaderRun RunGpxReader(const GpxReaderRequest& request);

// The reader in ../libexec/fenrik/ from the program's folder, else the one built with it; empty
// when neither exists.
std::string DefaultGpxReaderPath();
