// SPDX-License-Identifier: GPL-3.0-or-later
// Loads a GPX file as the program does, with the reader the program would find from where this
// probe is placed, and prints that reader and the points it gave:
//     gpx_load_probe FILE    ->  "reader <path>" and "points <count>" on standard output
// Exit status 0 when the file was read whole and gave points, 1 otherwise, 2 on bad usage.
#include <cstdio>

#include "track/gpx/GpxReader.h"
#include "track/load/TrackLoad.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    TrackLog log;
    const TrackLoadReport report = LoadTrackLog(argv[1], log);
    std::printf("reader %s\npoints %zu\n", DefaultGpxReaderPath().c_str(), report.points);
    if (!report.status.message().empty()) {
        std::fprintf(stderr, "problem: %s\n", report.status.message().c_str());
    }
    return report.status.message().empty() && report.points > 0 ? 0 : 1;
}
