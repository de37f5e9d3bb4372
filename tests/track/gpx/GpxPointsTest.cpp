// SPDX-License-Identifier: GPL-3.0-or-later
// Every real and hostile GPX sample gives exactly the points recorded in tests/data/gpx-points:
// kind, segment, the coordinates' bits and the time. FENRIK_RECORD_POINTS=1 writes the records.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "PointLines.h"
#include "TestSupport.h"
#include "track/load/TrackLoad.h"

namespace {

void CheckSet(const std::string& set) {
    const bool record = std::getenv("FENRIK_RECORD_POINTS") != nullptr;
    const std::filesystem::path records = SamplePath("gpx-points/" + set);
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(SamplePath(set))) {
        if (entry.path().extension() != ".gpx") {
            continue;
        }
        TrackLog log;
        LoadTrackLog(entry.path().string(), log);
        const std::string recordPath = (records / entry.path().filename()).string() + ".txt";
        if (record) {
            std::filesystem::create_directories(records);
            WriteFileText(recordPath, PointLines(log));
        }
        EXPECT_EQ(PointLines(log), ReadFileText(recordPath)) << entry.path();
        ++files;
    }
    EXPECT_GT(files, 7u);
}

TEST(GpxPoints, RealFilesGiveTheRecordedPoints) {
    CheckSet("gpx");
}

TEST(GpxPoints, HostileFilesGiveTheRecordedPoints) {
    CheckSet("gpx-hostile");
}

}  // namespace
