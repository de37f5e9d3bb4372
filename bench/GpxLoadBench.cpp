// SPDX-License-Identifier: GPL-3.0-or-later
// Loads generated GPX files of a day (86,400 points) and of 1,000,000 points at 1 Hz, each in a
// fresh process, in three ways side by side: streamed in the loading process itself as the
// program once parsed it, the same with huge pages for the heap (as scripts/run.sh once started
// it), and through the reader process as the program does now (the reader gets its huge pages from
// the program, however the program was started). Prints the time, points per second and peak
// memory of each: that of the loading process and, for the reader process, its own.
//
// Then loads a folder of 10,000 small tracks (half of them empty) as the program does.
//
//   gpx_load_bench [--quick] [--rounds N] [--reader PATH]
//     --quick: the one-day file only
//     --reader PATH: also through the reader process PATH (say, an installed program's), side
//                    by side with the one the program finds from here (the build tree's)
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "BenchFiles.h"
#include "track/gpx/GpxReader.h"
#include "track/gpx/reader/GpxStream.h"
#include "track/load/TrackLoad.h"

namespace {

struct Measurement {
    double seconds = 0.0;
    size_t points = 0;
    long selfPeakKb = 0;    // the loading process
    long readerPeakKb = 0;  // the reader process, when there is one
};

// The mode that loads through the reader process at `readerPath`.
constexpr char kGivenReader[] = "given reader";

// Runs in the measuring process: one load, the first of its life.
Measurement LoadOnce(const std::string& mode, const std::string& path,
                     const std::string& readerPath) {
    Measurement m;
    TrackLog log;
    const auto start = std::chrono::steady_clock::now();
    if (mode == "reader" || mode == kGivenReader) {
        GpxReadOptions options;
        options.readerPath = mode == kGivenReader ? readerPath : std::string();
        LoadTrackLog(path, log, options);
    } else {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (file != nullptr) {
            GpxStream stream(log, 256);
            std::vector<char> buffer(size_t{1} << 20);
            size_t n = 0;
            while ((n = std::fread(buffer.data(), 1, buffer.size(), file)) > 0 &&
                   stream.Feed(buffer.data(), n, false)) {
            }
            stream.Feed(buffer.data(), 0, true);
            std::fclose(file);
        }
    }
    m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m.points = log.Count();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    m.selfPeakKb = usage.ru_maxrss;
    getrusage(RUSAGE_CHILDREN, &usage);
    m.readerPeakKb = usage.ru_maxrss;
    return m;
}

// Starts this program afresh to measure one load; "in-process+hugepages" runs it with the
// allocator's huge pages switched on, as only an environment variable can do.
bool MeasureInFreshProcess(const char* self, const std::string& mode, const std::string& path,
                           const std::string& readerPath, Measurement& m) {
    int fds[2];
    if (pipe(fds) != 0) {
        return false;
    }
    const pid_t child = fork();
    if (child == 0) {
        dup2(fds[1], STDOUT_FILENO);
        if (mode == "in-process+hugepages") {
            setenv("GLIBC_TUNABLES", "glibc.malloc.hugetlb=1", 1);
        }
        execl(self, self, "--measure", mode.c_str(), path.c_str(), readerPath.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    const bool got = read(fds[0], &m, sizeof m) == static_cast<ssize_t>(sizeof m);
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return got && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void Print(const std::string& mode, const Measurement& m, uint64_t fileSize) {
    const double peakMb = static_cast<double>(m.selfPeakKb) / 1024.0;
    std::printf("  %-22s %7.3f s  %9.0f points/s  peak %7.1f MB (%4.1f x file)", mode.c_str(),
                m.seconds, static_cast<double>(m.points) / m.seconds, peakMb,
                peakMb * 1048576.0 / static_cast<double>(fileSize));
    if (mode == "reader" || mode == kGivenReader) {
        std::printf("  reader process %7.1f MB", static_cast<double>(m.readerPeakKb) / 1024.0);
    }
    std::printf("\n");
}

// A folder of 10,000 files, every other one empty and the rest a one-point track.
void TimeManySmallFiles(const std::string& folder) {
    const std::string tracks = folder + "/many";
    mkdir(tracks.c_str(), 0755);
    for (int i = 0; i < 10000; ++i) {
        const std::string path = tracks + "/" + std::to_string(i) + ".gpx";
        std::FILE* file = std::fopen(path.c_str(), "w");
        if (file != nullptr && i % 2 == 1) {
            std::fputs(
                "<gpx><wpt lat=\"1\" lon=\"1\"><time>2007-06-01T12:00:00Z</time></wpt></gpx>",
                file);
        }
        if (file != nullptr) {
            std::fclose(file);
        }
    }
    const auto start = std::chrono::steady_clock::now();
    TrackLog log;
    const TrackLoadReport report = LoadTrackLog(tracks, log);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("10,000 small files (5,000 empty): %.3f s, %zu points, %zu files failed\n", seconds,
                report.points, report.failedFiles);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "--measure") == 0) {
        const Measurement m = LoadOnce(argv[2], argv[3], argv[4]);
        return write(STDOUT_FILENO, &m, sizeof m) == static_cast<ssize_t>(sizeof m) ? 0 : 1;
    }
    bool quick = false;
    int rounds = 3;
    std::string readerPath;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0) {
            quick = true;
        } else if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc) {
            rounds = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--reader") == 0 && i + 1 < argc) {
            readerPath = argv[++i];
        }
    }
    const std::string folder = MakeTempFolder("fenrik-gpx-bench");
    std::vector<std::string> modes = {"in-process", "in-process+hugepages", "reader"};
    std::printf("reader: %s\n", DefaultGpxReaderPath().c_str());
    if (!readerPath.empty()) {
        modes.push_back(kGivenReader);
        std::printf("given reader: %s\n", readerPath.c_str());
    }
    bool ok = true;
    for (const int64_t points : {int64_t{86400}, int64_t{1000000}}) {
        if (quick && points > 86400) {
            break;
        }
        const std::string path = folder + "/track-" + std::to_string(points) + ".gpx";
        const uint64_t fileSize = WriteGeneratedGpx(path, points, 1180656000);
        std::printf("%lld points, %.1f MB; each load in a fresh process, modes alternating\n",
                    static_cast<long long>(points), static_cast<double>(fileSize) / 1e6);
        for (int round = 1; round <= rounds; ++round) {
            std::printf(" round %d\n", round);
            for (const std::string& mode : modes) {
                Measurement m;
                ok = MeasureInFreshProcess(argv[0], mode, path, readerPath, m) && ok;
                Print(mode, m, fileSize);
            }
        }
    }
    TimeManySmallFiles(folder);
    RemoveFolder(folder);
    return ok ? 0 : 1;
}
