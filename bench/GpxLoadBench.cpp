// Loads generated GPX files of a day (86,400 points) and of 1,000,000 points at 1 Hz and prints
// the points per second and the peak memory. Each load runs in a child process, so that its
// peak resident size is its own.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "BenchFiles.h"
#include "engine/GpxReader.h"

namespace {

struct LoadResult {
    double seconds = 0.0;      // first load in a fresh process
    double warmSeconds = 0.0;  // a second load in the same process
    size_t points = 0;
};

double SecondsToLoad(const std::string& path, size_t& points) {
    const auto start = std::chrono::steady_clock::now();
    TrackLog log;
    LoadTrackLog(path, log);
    points = log.Count();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

LoadResult TimedLoad(const std::string& path) {
    LoadResult result;
    result.seconds = SecondsToLoad(path, result.points);
    result.warmSeconds = SecondsToLoad(path, result.points);
    return result;
}

// Loads in a child process; returns false when the child failed.
bool MeasureInChild(const std::string& path, uint64_t fileSize) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        return false;
    }
    const pid_t child = fork();
    if (child == 0) {
        close(pipeFds[0]);
        const LoadResult result = TimedLoad(path);
        if (write(pipeFds[1], &result, sizeof result) != sizeof result) {
            _exit(1);
        }
        _exit(0);
    }
    close(pipeFds[1]);
    LoadResult result;
    const bool got = read(pipeFds[0], &result, sizeof result) == sizeof result;
    close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (!got || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return false;
    }
    const double peakBytes = static_cast<double>(usage.ru_maxrss) * 1024.0;
    std::printf(
        "%9zu points  %5.1f MB file  first load %.3f s (%.0f points/s), again %.3f s, "
        "peak %.1f MB (%.1f x file)\n",
        result.points, static_cast<double>(fileSize) / 1e6, result.seconds,
        static_cast<double>(result.points) / result.seconds, result.warmSeconds, peakBytes / 1e6,
        peakBytes / static_cast<double>(fileSize));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = MakeTempFolder("fenrik-gpx-bench");
    bool ok = true;
    const long long sizes[] = {86400, 1000000};
    const int count = argc > 1 && std::string(argv[1]) == "--quick" ? 1 : 2;
    for (int i = 0; i < count; ++i) {
        const std::string path = folder + "/track-" + std::to_string(sizes[i]) + ".gpx";
        const uint64_t fileSize = WriteGeneratedGpx(path, sizes[i], 1180656000);
        ok = MeasureInChild(path, fileSize) && ok;
    }
    RemoveFolder(folder);
    return ok ? 0 : 1;
}
