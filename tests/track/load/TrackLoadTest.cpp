// SPDX-License-Identifier: GPL-3.0-or-later
#include "track/load/TrackLoad.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "TestSupport.h"
#include "platform/Log.h"

namespace {

// A format of the test's own: files named *.fake or beginning "FAKE", one waypoint a line.
class FakeSource : public TrackSource {
public:
    const char* Format() const override { return "Fake"; }
    bool TakesName(const std::string& name) const override {
        return name.size() > 5 && name.compare(name.size() - 5, 5, ".fake") == 0;
    }
    std::vector<std::string> Extensions() const override { return {"fake"}; }
    bool TakesContent(std::string_view head) const override { return head.substr(0, 4) == "FAKE"; }
    TrackFileReport Read(const std::string& path, TrackLog& log,
                         const TrackReadOptions&) const override {
        TrackLog file;
        for (const std::string& line : SplitLines(ReadFileText(path))) {
            if (line != "FAKE") {
                TrackPoint point;
                point.latitude = std::stod(line);
                file.Append(point, PointKind::Waypoint, kNoSegment);
            }
        }
        log.AppendLog(file, path, Format());
        return {file.Count(), Status(), Format()};
    }
};

const TrackSourceRegistration<FakeSource> registration;

std::string GpxWith(int latitude) {
    return "<gpx><wpt lat=\"" + std::to_string(latitude) +
           "\" lon=\"1\"><time>2007-06-01T12:00:00Z</time></wpt></gpx>";
}

TEST(TrackLoad, ASourceIsChosenByNameThenByContentElseTheDefaultSaysWhy) {
    TempDir dir;
    WriteFileText(dir.File("a.fake"), "1\n");
    WriteFileText(dir.File("b.txt"), "FAKE\n2\n");
    WriteFileText(dir.File("c.txt"), "  <?xml version=\"1.0\"?>" + GpxWith(3));
    WriteFileText(dir.File("d.txt"), "neither");
    EXPECT_STREQ(TrackSourceFor(dir.File("a.fake")).Format(), "Fake");
    EXPECT_STREQ(TrackSourceFor(dir.File("b.txt")).Format(), "Fake");
    EXPECT_STREQ(TrackSourceFor(dir.File("c.txt")).Format(), "GPX");
    EXPECT_STREQ(TrackSourceFor(dir.File("d.txt")).Format(), "GPX");

    TrackLog log;
    EXPECT_EQ(LoadTrackLog(dir.File("b.txt"), log).points, 1u);
    EXPECT_EQ(LoadTrackLog(dir.File("c.txt"), log).points, 1u);
    const TrackLoadReport neither = LoadTrackLog(dir.File("d.txt"), log);
    EXPECT_EQ(neither.status.message().rfind("could not be parsed", 0), 0u)
        << neither.status.message();
    ASSERT_EQ(log.Origins().size(), 2u);
    EXPECT_EQ(log.Origins()[0].format, "Fake");
    EXPECT_EQ(log.Origins()[1].format, "GPX");
}

TEST(TrackLoad, AFolderReadsEveryFileASourceTakesByName) {
    TempDir dir;
    WriteFileText(dir.File("1.gpx"), GpxWith(1));
    WriteFileText(dir.File("2.fake"), "2\n");
    WriteFileText(dir.File("3.txt"), "FAKE\n3\n");  // taken only by content: not a track file
    std::filesystem::create_directories(dir.File("4.fake"));
    WriteFileText(dir.File("5.gpx"), "<gpx>");
    WriteFileText(dir.File("6.fake"), "6\n");
    EXPECT_EQ(TrackFileNamesIn(dir.Path()),
              (std::vector<std::string>{"1.gpx", "2.fake", "5.gpx", "6.fake"}));
    TrackLog log;
    const TrackLoadReport report = LoadTrackLog(dir.Path(), log);
    EXPECT_EQ(report.status.message().rfind("5.gpx: could not be parsed", 0), 0u)
        << report.status.message();
    EXPECT_EQ(report.files, 4u);
    EXPECT_EQ(report.failedFiles, 1u);
    ASSERT_EQ(log.Count(), 3u);
    EXPECT_EQ(log.At(1).latitude, 2.0);
    // Failed files count among their kind's.
    ASSERT_EQ(report.kinds.size(), 2u);
    EXPECT_EQ(report.kinds[0].format, "GPX");
    EXPECT_EQ(report.kinds[0].files, 2u);
    EXPECT_EQ(report.kinds[1].format, "Fake");
    EXPECT_EQ(report.kinds[1].files, 2u);
}

TEST(TrackLoad, TheChooserOffersEveryExtensionGpxFirst) {
    const std::vector<std::string> extensions = TrackFileExtensions();
    ASSERT_FALSE(extensions.empty());
    EXPECT_EQ(extensions.front(), "gpx");
    for (const char* extension : {"fake", "fit", "tcx", "kml", "nmea", "igc"}) {
        EXPECT_NE(std::find(extensions.begin(), extensions.end(), extension), extensions.end())
            << extension;
    }
}

TEST(TrackLoad, AnEmptyPathChoosesNothing) {
    TrackLog log;
    const TrackLoadReport report = LoadTrackLog("", log);
    EXPECT_EQ(report.status.message(), "no GPX file chosen");
    EXPECT_TRUE(log.IsEmpty());
}

}  // namespace
