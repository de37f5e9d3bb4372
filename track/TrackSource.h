// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A reader of one track format, and the registry of the formats the program reads.

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

// The zone a camera's clock ran in, for times that say no offset of their own.
struct CameraZone {
    int32_t biasInMinutes = 0;  // UTC = local time + bias
    std::string zoneId;         // IANA name; may be empty
    bool followDaylightSaving = false;
};

// How to read; the defaults suit the program.
struct TrackReadOptions {
    std::string readerPath;                   // empty: the source's own reader
    std::optional<ReaderLimits> limits;       // empty: the source's limits for the file's size
    const std::atomic<bool>* stop = nullptr;  // once true, reading is abandoned
    CameraZone cameraZone;                    // for photos read as a track
};

// The points appended, and why the file was not read whole (Stopped on a stop request).
struct TrackFileReport {
    size_t points = 0;
    Status status;
    std::string format;  // what the file was read as: "GPX", "FIT"; empty when unknown
};

class TrackSource {
public:
    virtual ~TrackSource() = default;
    // "GPX".
    virtual const char* Format() const = 0;
    // By the name's extension, in any letter case.
    virtual bool TakesName(const std::string& fileName) const = 0;
    // The extensions it takes, in lower case without the dot, for a file chooser.
    virtual std::vector<std::string> Extensions() const = 0;
    // By the file's first bytes, at most 4 KB.
    virtual bool TakesContent(std::string_view head) const = 0;
    // The one source for files no source takes, to say why they cannot be read.
    virtual bool IsFallback() const { return false; }
    // Appends the file's usable points as one origin; one Error line for a file not read whole.
    // Throws only std::bad_alloc.
    virtual TrackFileReport Read(const std::string& path, TrackLog& log,
                                 const TrackReadOptions& options) const = 0;
    // A source of folders (photos with positions), not files: reads a folder's points as one
    // origin (none and no Error line when it has none); the report's `points` counts them.
    virtual bool ReadsFolders() const { return false; }
    virtual TrackFileReport ReadFolder(const std::string& folder, TrackLog& log,
                                       const TrackReadOptions& options) const;
    // Reads the files in order, as Read does each; a source may read many at once.
    virtual std::vector<TrackFileReport> ReadFiles(const std::vector<std::string>& paths,
                                                   TrackLog& log,
                                                   const TrackReadOptions& options) const;
};

// Sources take disjoint names and contents, so their order does not matter.
void RegisterTrackSource(std::unique_ptr<TrackSource> source);
const std::vector<std::unique_ptr<TrackSource>>& TrackSources();

// Registers `Source` at start-up, as a static in the source's own file.
template <typename Source>
struct TrackSourceRegistration {
    TrackSourceRegistration() { RegisterTrackSource(std::make_unique<Source>()); }
};
