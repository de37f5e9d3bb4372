// SPDX-License-Identifier: GPL-3.0-or-later
// Phones' location histories: each sample gives the points a second, independent reader
// (tests/data/history/reference_reader.py) wrote down, and hostile JSON is refused with a reason
// without a crash, a hang or memory growing with the file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "PointLines.h"
#include "TestSupport.h"
#include "track/load/TrackLoad.h"

namespace {

class HistorySource : public ::testing::Test {
protected:
    TrackLoadReport LoadText(const std::string& name, const std::string& text) {
        const std::string path = m_Dir.File(name);
        WriteFileText(path, text);
        m_Log.Empty();
        return LoadTrackLog(path, m_Log);
    }

    TempDir m_Dir;
    TrackLog m_Log;
    ClosedLogAfterTest m_CloseLog;
};

TEST_F(HistorySource, EverySampleGivesThePointsOfAnIndependentReader) {
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(SamplePath("history"))) {
        if (entry.path().extension() != ".json") {
            continue;
        }
        SCOPED_TRACE(entry.path().filename());
        // Named otherwise, so that only the content tells what the file is.
        const std::string copy = m_Dir.File(entry.path().stem().string() + ".txt");
        CopyFile(entry.path().string(), copy);
        TrackLog log;
        const TrackLoadReport report = LoadTrackLog(copy, log);
        EXPECT_TRUE(report.status.ok()) << report.status.message();
        EXPECT_EQ(report.format, "location history");
        EXPECT_GT(log.Count(), 5u);
        EXPECT_EQ(PointLines(log), ReadFileText(entry.path().string() + ".txt"));
        ++files;
    }
    EXPECT_EQ(files, 4u);
}

TEST_F(HistorySource, AFolderReadsHistoriesBesideTracks) {
    CopyFile(SamplePath("history/kgeo_records.json"), m_Dir.File("Records.json"));
    CopyFile(SamplePath("gpx/Mojstrovka.gpx"), m_Dir.File("day.gpx"));
    WriteFileText(m_Dir.File("Settings.json"), "{\"createdTime\": \"2024-01-01T00:00:00Z\"}");
    const TrackLoadReport report = LoadTrackLog(m_Dir.Path(), m_Log);
    EXPECT_EQ(report.files, 3u);
    EXPECT_EQ(report.failedFiles, 1u);
    EXPECT_EQ(report.status.message(), "Settings.json: not a location history");
    ASSERT_EQ(report.kinds.size(), 2u);  // in the order of the names: capitals first
    EXPECT_EQ(report.kinds[0].format, "location history");
    EXPECT_EQ(report.kinds[0].files, 2u);
}

TEST_F(HistorySource, HostileDocumentsAreRefusedWithAReason) {
    const std::string records = ReadFileText(SamplePath("history/kgeo_records.json"));
    struct Case {
        const char* name;
        std::string text;
        const char* problem;  // its start
        size_t points;
    };
    const std::string deep = "{\"locations\": " + std::string(100000, '[') + "]";
    const Case cases[] = {
        // The points before the break are kept, as a GPX file's are.
        {"truncated", records.substr(0, records.size() / 2), "could not be parsed: ", 7},
        {"deep", deep, "too deeply nested", 0},
        {"empty", "", "could not be parsed: The document is empty. at byte 0", 0},
        {"a number past double", "{\"locations\": [{\"latitudeE7\": 1e400}]}",
         "could not be parsed: Number too big to be stored in double. at byte 30", 0},
        {"huge numbers",
         "{\"locations\": [{\"latitudeE7\": 99999999999999999999999, \"longitudeE7\": 5, "
         "\"timestamp\": "
         "\"2020-01-01T00:00:00Z\"},"
         "{\"latitudeE7\": 480000000, \"longitudeE7\": 110000000, \"timestampMs\": "
         "\"99999999999999999999999\"}]}",
         "", 0},
        {"wrong types",
         "{\"locations\": [{\"latitudeE7\": \"480000000\", \"longitudeE7\": [1], \"timestamp\": 5},"
         "{\"latitudeE7\": 480000000, \"longitudeE7\": 110000000, \"timestamp\": {}}],"
         "\"semanticSegments\": {\"timelinePath\": 3}}",
         "", 0},
        {"one good point after junk",
         "{\"locations\": [{\"latitudeE7\": true}, {\"latitudeE7\": 480000000, \"longitudeE7\": "
         "110000000, \"timestamp\": \"2020-01-01T00:00:00Z\"}]} trailing",
         "could not be parsed: The document root must not be followed by other values.", 1},
        {"not a history", "{\"type\": \"FeatureCollection\", \"features\": []}",
         "not a location history", 0},
        {"invalid UTF-8", "{\"locations\": [{\"source\": \"\xFF\xFE\"}]}",
         "could not be parsed: ", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TrackLoadReport report = LoadText("history.json", c.text);
        EXPECT_EQ(report.status.message().rfind(c.problem, 0), 0u) << report.status.message();
        EXPECT_EQ(std::string(c.problem).empty(), report.status.ok()) << report.status.message();
        EXPECT_EQ(report.points, c.points);
    }
}

TEST_F(HistorySource, ASparseFileIsRefusedAtItsFirstZeroAndAFifoIsNeverOpened) {
    const std::string sparse = m_Dir.File("sparse.json");
    {
        const int fd = open(sparse.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(write(fd, "{\"locations\": [", 15), 15);
        ASSERT_EQ(ftruncate(fd, off_t{2} << 30), 0);  // two gigabytes of zero bytes follow
        close(fd);
    }
    // Refused at the first zero byte: the reader never reads on through the rest.
    TrackLoadReport report = LoadTrackLog(sparse, m_Log);
    EXPECT_EQ(report.status.message(), "could not be parsed: Invalid value. at byte 15");

    const std::string fifo = m_Dir.File("pipe.json");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(LoadTrackLog(fifo, m_Log).status.message(), "not a regular file");
}

}  // namespace
