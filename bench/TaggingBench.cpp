// SPDX-License-Identifier: GPL-3.0-or-later
// Times tagging against the floor of a durable copy of the same files, matching alone, and
// placement between points beside the nearest-point rule.
//
//   tagging_bench                 generated photos (3 MB and 100 KB) and a one-day GPX
//   tagging_bench --folder DIR --gpx FILE [--tolerance H:M] [--bias MINUTES] [--write-threads N]
//                                 tags a real folder (work on a copy: it rewrites the photos),
//                                 making the new files on N threads (default: the machine's)
//
// Inputs for bench/write_peers.sh, which times Fenrik side by side with other geotaggers:
//   tagging_bench --make-photos DIR --count N --size WxH --spacing SECONDS [--quality Q]
//                                 N noisy photos (JPEG quality Q) taken SECONDS apart from
//                                 2007-06-01 00:00:30 UTC
//   tagging_bench --make-gpx FILE --points N
//                                 a track of N points one second apart from 00:00:00 UTC
//   tagging_bench --durable-copy DIR
//                                 copies every photo to a new file, flushing each
//   tagging_bench --batched-replacement DIR
//                                 replaces every photo by a copy of itself as a run's writes
//                                 do, in batches of 128, with nothing else: their floor
//   tagging_bench --shared DIR    the share of the photos' bytes in blocks that another file
//                                 shares (a copy made with cp --reflink, say)
#include <fcntl.h>
#include <linux/fiemap.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <exiv2/exiv2.hpp>

#include <QImage>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "BenchFiles.h"
#include "BenchPhotos.h"
#include "app/RunSettings.h"
#include "durable/FileIo.h"
#include "durable/TemporaryFile.h"
#include "photo/HotFolderFiles.h"
#include "platform/FileTime.h"
#include "run/TaggingEngine.h"
#include "track/gpx/GpxReader.h"
#include "track/load/TrackLoad.h"

namespace fs = std::filesystem;

namespace {

constexpr int64_t kDayStart = kBenchDayStart;

// The engine with the settings a bench run gives it, handed over as a run hands them.
struct BenchEngine {
    TrackLog& Track() { return engine.Track(); }
    // Plans the folder as hot folder 1 and writes the plan, as a run does.
    void ProcessHotFolder(const std::string& folder) {
        TaggingRunInputs inputs = RunInputsFrom(settings);
        inputs.hotFolders[0] = folder;
        inputs.hotFolderOn[0] = true;
        RunSummary summary;
        const RunPlan plan = engine.Plan(inputs, summary, nullptr);
        engine.Write(plan, inputs, summary, nullptr);
    }

    TaggingEngine engine;
    LiveSettings settings;
};

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A new file in `folder` holding a copy, made inside the kernel, of the file at `path`.
Status CopyToNewFile(const std::string& path, const std::string& folder, TemporaryFile& copy) {
    const UniqueFd source(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    Status copied = source.Valid() ? copy.Create(folder) : Status::Failed("cannot open " + path);
    return copied.ok() ? copy.AppendFrom(source.Get(), 0, fs::file_size(path)) : copied;
}

void Report(const char* what, const Status& status) {
    if (!status.ok()) {
        std::fprintf(stderr, "%s failed: %s\n", what, status.message().c_str());
    }
}

// The floor: copy each photo inside the kernel to a new file, flush it and rename it over.
double DurableCopySeconds(const std::string& folder) {
    const auto start = std::chrono::steady_clock::now();
    for (const ImageFile& file : ListHotFolderImages(folder)) {
        TemporaryFile copy;
        Status copied = CopyToNewFile(file.path, folder, copy);
        if (copied.ok()) {
            copied = copy.Sync();
        }
        if (copied.ok()) {
            copied = copy.Replace(file.path, nullptr);
        }
        Report("copy", copied);
        SyncFolder(folder);
    }
    return Seconds(start);
}

// The floor of a tagging run's writes: each photo's bytes copied inside the kernel into an
// unnamed new file that then takes the photo's place (swapped in, the old one unlinked), one
// flush of the file system for every 128 photos before they are swapped in, and one of the
// folder after. No header is read, edited or checked, and no identity or lease is kept.
double BatchedReplacementSeconds(const std::string& folder) {
    const size_t kBatch = BatchLimits().count;  // a run's own batch size
    const auto start = std::chrono::steady_clock::now();
    const std::vector<ImageFile> files = ListHotFolderImages(folder);
    for (size_t first = 0; first < files.size(); first += kBatch) {
        std::vector<TemporaryFile> batch;
        for (size_t i = first; i < std::min(files.size(), first + kBatch); ++i) {
            batch.emplace_back();
            Report("copy", CopyToNewFile(files[i].path, folder, batch.back()));
            batch.back().StartWriteback();
        }
        if (!batch.empty() && !batch.front().SyncFileSystem()) {
            std::fprintf(stderr, "flush failed\n");
        }
        for (size_t i = 0; i < batch.size(); ++i) {
            Report("replace", batch[i].Replace(files[first + i].path, nullptr));
        }
        SyncFolder(folder);
    }
    return Seconds(start);
}

struct TaggingTimes {
    double load = 0.0;     // LoadTrackLog
    double process = 0.0;  // ProcessHotFolder
};

TaggingTimes TimeTagging(BenchEngine& engine, const std::string& gpx, const std::string& folder) {
    TaggingTimes times;
    auto start = std::chrono::steady_clock::now();
    engine.Track().Empty();
    LoadTrackLog(gpx, engine.Track());
    times.load = Seconds(start);
    start = std::chrono::steady_clock::now();
    engine.ProcessHotFolder(folder);
    times.process = Seconds(start);
    return times;
}

void CompareWithFloor(const std::string& root, const std::string& gpx, const char* label, int width,
                      int height, int count) {
    const std::string templ = MakeTemplateJpeg(root + "/template.jpg", width, height);
    const double size = static_cast<double>(fs::file_size(templ)) / 1e6;
    const std::string untagged = root + "/untagged-" + label;
    const std::string tagFolder = root + "/tag-" + label;
    const std::string copyFolder = root + "/copy-" + label;
    MakePhotoFolder(untagged, templ, count);
    MakePhotoFolder(copyFolder, templ, count);
    BenchEngine engine;
    engine.settings.m_ToleranceMinutes = "5";
    // Alternate the two, three times, and keep the best of each: the machine is shared. Each
    // round tags untagged photos; a photo already tagged is not written again.
    double floor = 1e9;
    TaggingTimes best{1e9, 1e9};
    for (int round = 0; round < 3; ++round) {
        fs::remove_all(tagFolder);
        fs::copy(untagged, tagFolder);
        floor = std::min(floor, DurableCopySeconds(copyFolder));
        const TaggingTimes t = TimeTagging(engine, gpx, tagFolder);
        best.load = std::min(best.load, t.load);
        best.process = std::min(best.process, t.process);
    }
    const double rerun = TimeTagging(engine, gpx, tagFolder).process;
    std::printf(
        "%-6s %4d photos of %5.2f MB: durable copy %.3f s; tagging %.3f s (ratio %.2f); "
        "with the one-day GPX load %.3f s (ratio %.2f); rerun over the tagged photos %.3f s\n",
        label, count, size, floor, best.process, best.process / floor, best.load + best.process,
        (best.load + best.process) / floor, rerun);
}

void MatchingAlone() {
    BenchEngine engine;
    engine.settings.m_ToleranceHours = "1";
    const int64_t weekPoints = 7 * 86400;
    for (int64_t i = 0; i < weekPoints; ++i) {
        TrackPoint point;
        point.time = CountToFileTime(FileTimeCountFromUnix(kDayStart + i, 0));
        engine.Track().Append(point);
    }
    std::mt19937_64 random(1);
    std::vector<uint64_t> captures;
    for (int i = 0; i < 10000; ++i) {
        captures.push_back(FileTimeCountFromUnix(
            kDayStart + static_cast<int64_t>(random() % static_cast<uint64_t>(weekPoints)), 0));
    }
    const int64_t tolerance = RunInputsFrom(engine.settings).tolerance;
    const auto start = std::chrono::steady_clock::now();
    TrackMatcher matcher(engine.Track());
    size_t matched = 0;
    for (uint64_t capture : captures) {
        matched += matcher.FindBestMatch(static_cast<int64_t>(capture), 0, tolerance) ? 1 : 0;
    }
    std::printf(
        "matching: 10000 capture times against %lld points in %.4f s (%zu matched, "
        "index built included)\n",
        static_cast<long long>(weekPoints), Seconds(start), matched);
}

// 20,000 photos (with fractions of a second) against a track of 1,000,000 points at 1 Hz in
// segments of an hour: the nearest-point rule and placement between points, side by side.
void PlacementAlone() {
    TrackLog track;
    const int64_t points = 1000000;
    for (int64_t i = 0; i < points; ++i) {
        TrackPoint point;
        point.latitude = 45.0 + static_cast<double>(i % 3600) * 1e-5;
        point.longitude = 11.0 + static_cast<double>(i / 3600) * 1e-3;
        point.elevation = 500.0;
        point.time = CountToFileTime(FileTimeCountFromUnix(kDayStart + i, 0));
        track.Append(point, PointKind::Track, static_cast<int32_t>(i / 3600));
    }
    std::mt19937_64 random(2);
    std::vector<int64_t> captures;
    for (int i = 0; i < 20000; ++i) {
        captures.push_back(static_cast<int64_t>(FileTimeCountFromUnix(
            kDayStart + static_cast<int64_t>(random() % static_cast<uint64_t>(points)),
            static_cast<int64_t>(random() % 1000000000))));
    }
    const int64_t tolerance = 60 * kFileTimeUnitsPerSecond;
    const int64_t gap = 1800 * kFileTimeUnitsPerSecond;
    for (int round = 1; round <= 3; ++round) {
        size_t placed[2] = {0, 0};
        double build[2] = {0, 0};
        double query[2] = {0, 0};
        for (const bool between : {false, true}) {
            TrackMatcher matcher(track);
            const auto place = [&](int64_t utc) {
                const int64_t whole = utc - utc % kFileTimeUnitsPerSecond;
                return between ? matcher.Place(utc, whole, 0, tolerance, gap).match.has_value()
                               : matcher.FindBestMatch(whole, 0, tolerance).has_value();
            };
            auto start = std::chrono::steady_clock::now();
            place(captures.front());  // builds the indexes
            build[between] = Seconds(start);
            start = std::chrono::steady_clock::now();
            for (const int64_t utc : captures) {
                placed[between] += place(utc) ? 1 : 0;
            }
            query[between] = Seconds(start);
        }
        std::printf(
            "placement round %d, 20000 photos against %lld points: nearest: index %.3f s, "
            "photos %.4f s (%zu placed); between points: index %.3f s, photos %.4f s (%zu placed); "
            "photos ratio %.2f\n",
            round, static_cast<long long>(points), build[0], query[0], placed[0], build[1],
            query[1], placed[1], query[1] / query[0]);
    }
}

int RunOnFolder(const std::string& folder, const std::string& gpx, const std::string& tolerance,
                int bias, int writeThreads) {
    BenchEngine engine;
    if (writeThreads >= 0) {
        engine.engine.SetWriteThreads(static_cast<size_t>(writeThreads));
    }
    const auto colon = tolerance.find(':');
    engine.settings.m_ToleranceHours = tolerance.substr(0, colon);
    engine.settings.m_ToleranceMinutes =
        colon == std::string::npos ? "" : tolerance.substr(colon + 1);
    engine.settings.m_BiasInMinutes = bias;
    const size_t images = ListHotFolderImages(folder).size();
    const TaggingTimes t = TimeTagging(engine, gpx, folder);
    std::printf("%zu images, %zu track points: GPX load %.3f s, tagging %.3f s\n", images,
                engine.Track().Count(), t.load, t.process);
    return 0;
}

// Bytes of the open file `fd`, and those in extents it shares with another file.
std::pair<uint64_t, uint64_t> SharedExtentBytes(int fd) {
    std::vector<char> buffer(sizeof(fiemap) + 4096 * sizeof(fiemap_extent));
    auto* map = reinterpret_cast<fiemap*>(buffer.data());
    map->fm_length = FIEMAP_MAX_OFFSET;
    map->fm_flags = FIEMAP_FLAG_SYNC;
    map->fm_extent_count = 4096;
    uint64_t all = 0;
    uint64_t shared = 0;
    if (ioctl(fd, FS_IOC_FIEMAP, map) == 0) {
        for (uint32_t i = 0; i < map->fm_mapped_extents; ++i) {
            all += map->fm_extents[i].fe_length;
            shared += (map->fm_extents[i].fe_flags & FIEMAP_EXTENT_SHARED)
                          ? map->fm_extents[i].fe_length
                          : 0;
        }
    }
    return {all, shared};
}

int ReportShared(const std::string& folder) {
    uint64_t all = 0;
    uint64_t shared = 0;
    for (const ImageFile& file : ListHotFolderImages(folder)) {
        const UniqueFd fd(open(file.path.c_str(), O_RDONLY | O_CLOEXEC));
        const auto [fileAll, fileShared] = SharedExtentBytes(fd.Get());
        all += fileAll;
        shared += fileShared;
    }
    std::printf("shared %.1f %% of %llu bytes\n",
                all ? 100.0 * static_cast<double>(shared) / static_cast<double>(all) : 0.0,
                static_cast<unsigned long long>(all));
    return 0;
}

int MakePhotos(const std::string& folder, int count, const std::string& size, int spacing,
               int quality) {
    int width = 0;
    int height = 0;
    if (std::sscanf(size.c_str(), "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0) {
        std::fprintf(stderr, "--size wants WIDTHxHEIGHT\n");
        return 2;
    }
    const std::string templ = MakeTemplateJpeg(folder + ".template.jpg", width, height, quality);
    MakePhotoFolder(folder, templ, count, spacing);
    fs::remove(templ);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string folder, gpx, tolerance = "0:2", makePhotos, makeGpx, durableCopy, replacement,
                             shared, size = "640x480";
    int bias = 0;
    int writeThreads = -1;
    int count = 100;
    int spacing = 60;
    int quality = 92;
    int64_t points = 86400;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string flag = argv[i];
        if (flag == "--folder")
            folder = argv[i + 1];
        else if (flag == "--gpx")
            gpx = argv[i + 1];
        else if (flag == "--tolerance")
            tolerance = argv[i + 1];
        else if (flag == "--bias")
            bias = std::atoi(argv[i + 1]);
        else if (flag == "--write-threads")
            writeThreads = std::atoi(argv[i + 1]);
        else if (flag == "--make-photos")
            makePhotos = argv[i + 1];
        else if (flag == "--count")
            count = std::atoi(argv[i + 1]);
        else if (flag == "--size")
            size = argv[i + 1];
        else if (flag == "--spacing")
            spacing = std::atoi(argv[i + 1]);
        else if (flag == "--quality")
            quality = std::atoi(argv[i + 1]);
        else if (flag == "--make-gpx")
            makeGpx = argv[i + 1];
        else if (flag == "--points")
            points = std::atoll(argv[i + 1]);
        else if (flag == "--durable-copy")
            durableCopy = argv[i + 1];
        else if (flag == "--batched-replacement")
            replacement = argv[i + 1];
        else if (flag == "--shared")
            shared = argv[i + 1];
    }
    if (!shared.empty()) {
        return ReportShared(shared);
    }
    if (!makePhotos.empty()) {
        return MakePhotos(makePhotos, count, size, spacing, quality);
    }
    if (!makeGpx.empty()) {
        WriteGeneratedGpx(makeGpx, points, kDayStart);
        return 0;
    }
    if (!replacement.empty()) {
        std::printf("batched replacement %.3f s\n", BatchedReplacementSeconds(replacement));
        return 0;
    }
    if (!durableCopy.empty()) {
        std::printf("durable copy %.3f s\n", DurableCopySeconds(durableCopy));
        return 0;
    }
    if (!folder.empty()) {
        return RunOnFolder(folder, gpx, tolerance, bias, writeThreads);
    }
    const std::string root = MakeTempFolder("fenrik-tagging-bench");
    const std::string dayGpx = root + "/day.gpx";
    WriteGeneratedGpx(dayGpx, 86400, kDayStart);
    CompareWithFloor(root, dayGpx, "camera", 3000, 2000, 40);
    CompareWithFloor(root, dayGpx, "small", 640, 480, 100);
    MatchingAlone();
    PlacementAlone();
    RemoveFolder(root);
    return 0;
}
