// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target for the GPX boundary: any bytes, given as the GPX file, must load through the
// reader process without crashing, hanging or yielding a point that could harm a photo; the
// same bytes, taken as what a broken reader might answer, must be decoded safely; and the
// reader's own scanning and time parsing must be sound on them, as must its streaming reader of
// location histories and its reader of KMZ archives.
#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "track/gpx/GpxReader.h"
#include "track/gpx/GpxWire.h"
#include "track/gpx/reader/GpxNesting.h"
#include "track/gpx/reader/GpxStream.h"
#include "track/gpx/reader/GpxTime.h"
#include "track/gpx/reader/KmzArchive.h"
#include "track/gpx/reader/LocationHistory.h"

namespace {

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "GPX boundary broken: %s\n", what);
        std::abort();
    }
}

bool IsUsable(const TrackPoint& point) {
    return std::isfinite(point.latitude) && std::isfinite(point.longitude) &&
           std::isfinite(point.elevation) && std::fabs(point.latitude) <= 90.0 &&
           std::fabs(point.longitude) <= 180.0;
}

void LoadAsGpxFile(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/fenrik-gpx-fuzz-" + std::to_string(getpid()) + ".gpx";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return;
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    GpxReadOptions options;
    options.limits = GpxReaderLimits{uint64_t{1} << 30, 3, 6.0};
    TrackLog log;
    const TrackFileReport report = ReadGpxFile(path, log, options);
    std::remove(path.c_str());
    Require(report.points == log.Count(), "the report's count disagrees with the log");
    Require(report.status.code() != StatusCode::Stopped, "a load stopped without a stop request");
    for (size_t i = 0; i < log.Count(); ++i) {
        Require(IsUsable(log.At(i)), "a point off the globe or not finite");
    }
}

void DecodeAsAnswer(const uint8_t* data, size_t size) {
    GpxAnswerReader reader(size, size / 8 + 1, [](const std::string&) {});
    reader.Feed(data, size / 2);
    reader.Feed(data + size / 2, size - size / 2);
    if (reader.IsComplete()) {
        Require(reader.Answer().log.Count() <= size / 8 + 1, "more points than allowed");
    }
}

// The reader's own text handling, in this process where the sanitizers see it: the stream fed
// in two pieces, and the time parser.
void StreamAndParseTime(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    TrackLog log;
    GpxStream stream(log, 256);
    if (stream.Feed(text.data(), size / 2, false)) {
        stream.Feed(text.data() + size / 2, size - size / 2, true);
    }
    for (size_t i = 0; i < log.Count(); ++i) {
        Require(IsUsable(log.At(i)), "a streamed point off the globe or not finite");
    }
    NestsDeeperThan(text, 256);
    ParseGpxTime(text.c_str());
}

// The bytes as a location history and as a KMZ archive, read in this process.
void ReadAsHistoryAndArchive(const uint8_t* data, size_t size) {
    const int fd = memfd_create("fenrik-history-fuzz", MFD_CLOEXEC);
    if (fd < 0) {
        return;
    }
    if (write(fd, data, size) == static_cast<ssize_t>(size) && lseek(fd, 0, SEEK_SET) == 0) {
        ReadLocationHistory(fd, [](const TrackPoint& point, PointKind kind, int32_t segment) {
            Require(IsUsable(point), "a history point off the globe or not finite");
            Require(FileTimeToCount(point.time) != 0, "a history point without a time");
            Require((kind == PointKind::Waypoint) == (segment == kNoSegment),
                    "a history waypoint in a segment, or a track point in none");
        });
        std::string kml;
        ExtractKml(fd, size_t{1} << 20, kml);
        Require(kml.size() <= size_t{1} << 20, "a KML document past its limit");
    }
    close(fd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LoadAsGpxFile(data, size);
    DecodeAsAnswer(data, size);
    StreamAndParseTime(data, size);
    ReadAsHistoryAndArchive(data, size);
    return 0;
}
