// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A reader of one track format, and the registry of every format the program reads. Each
// source registers itself (RegisterTrackSource) when the program starts; the loader picks one
// for a file by its name, then by its first bytes.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Status.h"
#include "track/TrackLog.h"

// What a reader process may use.
struct ReaderLimits {
    uint64_t memoryBytes = 0;  // address space
    uint64_t cpuSeconds = 0;   // processor time
    double wallSeconds = 0.0;  // time from start to end, after which it is killed
};

// How to read. The defaults suit the program; tests choose their own reader and limits.
struct TrackReadOptions {
    std::string readerPath;                   // empty: the source's own reader
    std::optional<ReaderLimits> limits;       // empty: the source's limits for the file's size
    const std::atomic<bool>* stop = nullptr;  // once true, reading is abandoned
};

// What reading one file gave: the points appended, and why it was not read whole (Stopped
// when a stop was requested; the message is the problem the user reads).
struct TrackFileReport {
    size_t points = 0;
    Status status;
};

class TrackSource {
public:
    virtual ~TrackSource() = default;
    // The format's name in reports: "GPX".
    virtual const char* Format() const = 0;
    // True when a file of this name is of this format (by its extension, in any letter case).
    virtual bool TakesName(const std::string& fileName) const = 0;
    // True when a file that begins with `head` (its first bytes, at most 4 KB) is of this format.
    virtual bool TakesContent(std::string_view head) const = 0;
    // True for the one source that reads files no source recognises, to say why it cannot.
    virtual bool IsFallback() const { return false; }
    // Appends the usable points of the file at `path` to `log` as one origin, and writes one
    // Error line for a file not read whole. Never throws but std::bad_alloc.
    virtual TrackFileReport Read(const std::string& path, TrackLog& log,
                                 const TrackReadOptions& options) const = 0;
};

// Adds a source. Sources take disjoint names and contents, so their order does not matter.
void RegisterTrackSource(std::unique_ptr<TrackSource> source);
const std::vector<std::unique_ptr<TrackSource>>& TrackSources();

// Registers `Source` when the program starts: `static TrackSourceRegistration<X> registration;`
// in the source's own file.
template <typename Source>
struct TrackSourceRegistration {
    TrackSourceRegistration() { RegisterTrackSource(std::make_unique<Source>()); }
};
