// SPDX-License-Identifier: GPL-3.0-or-later
#include "track/gpx/GpxReader.h"
#include "track/load/TrackLoad.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "TestSupport.h"
#include "platform/FileTime.h"
#include "platform/Log.h"

namespace {

class GpxReader : public ::testing::Test {
protected:
    TrackLog LoadText(const std::string& gpx) {
        const std::string path = m_Dir.File("track.gpx");
        WriteFileText(path, gpx);
        TrackLog log;
        LoadTrackLog(path, log);
        return log;
    }

    static std::string Gpx(const std::string& body) {
        return "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\">\n" + body + "\n</gpx>\n";
    }

    TempDir m_Dir;
};

TEST_F(GpxReader, ReadsAllPointKindsInDocumentOrder) {
    const TrackLog log = LoadText(Gpx(R"(
        <trk><trkseg>
          <trkpt lat="48.137154" lon="11.575382"><ele>519.6</ele><time>2007-06-01T12:04:50Z</time></trkpt>
        </trkseg></trk>
        <wpt lat="1" lon="2"><time>2007-06-01T12:00:00Z</time></wpt>
        <rte><rtept lat="-3.5" lon="-4.25"><ele>-12.5</ele><time>2007-06-01T11:00:00Z</time></rtept></rte>
        <trk><trkseg>
          <trkpt lat="48.2" lon="11.6"><ele>520</ele><time>2007-06-01T12:05:00Z</time></trkpt>
        </trkseg></trk>)"));
    ASSERT_EQ(log.Count(), 4u);
    EXPECT_DOUBLE_EQ(log.At(0).latitude, 48.137154);
    EXPECT_DOUBLE_EQ(log.At(0).longitude, 11.575382);
    EXPECT_DOUBLE_EQ(log.At(0).elevation, 519.6);
    EXPECT_EQ(FileTimeToCount(log.At(0).time), UtcCount(2007, 6, 1, 12, 4, 50));
    EXPECT_DOUBLE_EQ(log.At(1).latitude, 1.0);
    EXPECT_EQ(log.At(1).elevation, kNoElevation);
    EXPECT_DOUBLE_EQ(log.At(2).longitude, -4.25);
    EXPECT_DOUBLE_EQ(log.At(2).elevation, -12.5);
    EXPECT_EQ(FileTimeToCount(log.At(3).time), UtcCount(2007, 6, 1, 12, 5, 0));
}

// Each trkseg and rte is a segment of its own, a trkpt outside any trkseg belongs to its trk,
// waypoints to none; each file of a folder has its own segments.
TEST_F(GpxReader, PointsKeepTheirKindAndSegment) {
    const std::string at = "\"1\" lon=\"1\"><time>2007-06-01T12:00:00Z</time>";
    const std::string body =
        "<wpt lat=" + at + "</wpt><trk><trkseg><trkpt lat=" + at + "</trkpt><trkpt lat=" + at +
        "</trkpt></trkseg><trkseg><trkpt lat=" + at + "</trkpt></trkseg><trkpt lat=" + at +
        "</trkpt></trk><rte><rtept lat=" + at + "</rtept><wpt lat=" + at +
        "</wpt><rtept lat=" + at + "</rtept></rte>";
    const TrackLog log = LoadText(Gpx(body));
    ASSERT_EQ(log.Count(), 8u);
    const PointKind kinds[] = {PointKind::Waypoint, PointKind::Track, PointKind::Track,
                               PointKind::Track,    PointKind::Track, PointKind::Route,
                               PointKind::Waypoint, PointKind::Route};
    const int32_t segments[] = {kNoSegment, 0, 0, 1, 2, 3, kNoSegment, 3};
    for (size_t i = 0; i < log.Count(); ++i) {
        EXPECT_EQ(log.RunAt(i).kind, kinds[i]) << i;
        EXPECT_EQ(log.RunAt(i).segment, segments[i]) << i;
    }
    EXPECT_EQ(log.SegmentCount(), 4);
    ASSERT_EQ(log.Origins().size(), 1u);
    EXPECT_EQ(log.Origins()[0].format, "GPX");
    EXPECT_EQ(log.Origins()[0].count, 8u);

    const std::string folder = m_Dir.File("two");
    std::filesystem::create_directories(folder);
    WriteFileText(folder + "/a.gpx",
                  Gpx("<trk><trkseg><trkpt lat=" + at + "</trkpt></trkseg></trk>"));
    WriteFileText(folder + "/b.gpx",
                  Gpx("<trk><trkseg><trkpt lat=" + at + "</trkpt></trkseg></trk>"));
    TrackLog both;
    LoadTrackLog(folder, both);
    ASSERT_EQ(both.Count(), 2u);
    EXPECT_EQ(both.RunAt(0).segment, 0);
    EXPECT_EQ(both.RunAt(1).segment, 1);
    ASSERT_EQ(both.Origins().size(), 2u);
    EXPECT_EQ(both.Origins()[1].path, folder + "/b.gpx");
}

TEST_F(GpxReader, DiscardsIncompletePoints) {
    const TrackLog log = LoadText(Gpx(R"(
        <wpt lon="2"><time>2007-06-01T12:00:00Z</time></wpt>
        <wpt lat="1"><time>2007-06-01T12:00:00Z</time></wpt>
        <wpt lat="1" lon="2"><ele>5</ele></wpt>
        <wpt lat="1" lon="2"><time></time></wpt>
        <wpt lat="1" lon="2"><time/></wpt>
        <wpt lat="1" lon="2"><time>2007-06-01T12:00</time></wpt>
        <wpt lat="1" lon="2"><time>garbage</time></wpt>
        <wpt lat="7" lon="8"><ele></ele><time>2007-06-01 12:00:01</time></wpt>)"));
    ASSERT_EQ(log.Count(), 1u);
    EXPECT_DOUBLE_EQ(log.At(0).latitude, 7.0);
    EXPECT_EQ(log.At(0).elevation, kNoElevation);
    EXPECT_EQ(FileTimeToCount(log.At(0).time), UtcCount(2007, 6, 1, 12, 0, 1));
}

TEST_F(GpxReader, TimesAreReadAsUtcWithTheirFractions) {
    const TrackLog log = LoadText(Gpx(R"(
        <wpt lat="1" lon="1"><time>2007-06-01T12:34:56.789Z</time></wpt>
        <wpt lat="2" lon="2"><time>2007-06-01T14:34:56+02:00</time></wpt>
        <wpt lat="3" lon="3"><time>2007-02-30T10:00:00Z</time></wpt>
        <wpt lat="4" lon="4"><time>2007-13-01T10:00:00Z</time></wpt>
        <wpt lat="5" lon="5"><time>
            2007-06-01T12:00:00Z
        </time></wpt>)"));
    ASSERT_EQ(log.Count(), 5u);
    EXPECT_EQ(FileTimeToCount(log.At(0).time), UtcCount(2007, 6, 1, 12, 34, 56) + 7890000);
    EXPECT_EQ(FileTimeToCount(log.At(1).time), UtcCount(2007, 6, 1, 12, 34, 56));
    EXPECT_EQ(FileTimeToCount(log.At(2).time), 0u);  // invalid dates still count, with time 0
    EXPECT_EQ(FileTimeToCount(log.At(3).time), 0u);
    EXPECT_EQ(FileTimeToCount(log.At(4).time), UtcCount(2007, 6, 1, 12, 0, 0));
}

TEST_F(GpxReader, ZoneOffsetsAreTakenOffToGiveUtc) {
    const TrackLog log = LoadText(Gpx(R"(
        <wpt lat="1" lon="1"><time>2025-07-24T20:22:23.5+03:00</time></wpt>
        <wpt lat="1" lon="1"><time>2025-07-24T20:22:23-05:00</time></wpt>
        <wpt lat="1" lon="1"><time>2025-07-24T20:22:23+0530</time></wpt>
        <wpt lat="1" lon="1"><time>2025-07-24T20:22:23.250-02</time></wpt>
        <wpt lat="1" lon="1"><time>2025-07-24T20:22:23+25:00</time></wpt>
        <wpt lat="1" lon="1"><time>2025-07-24T20:22:23+03:00 junk</time></wpt>
        <wpt lat="1" lon="1"><time>1601-01-01T00:30:00+01:00</time></wpt>)"));
    ASSERT_EQ(log.Count(), 7u);
    EXPECT_EQ(FileTimeToCount(log.At(0).time), UtcCount(2025, 7, 24, 17, 22, 23) + 5000000);
    EXPECT_EQ(FileTimeToCount(log.At(1).time), UtcCount(2025, 7, 25, 1, 22, 23));
    EXPECT_EQ(FileTimeToCount(log.At(2).time), UtcCount(2025, 7, 24, 14, 52, 23));
    EXPECT_EQ(FileTimeToCount(log.At(3).time), UtcCount(2025, 7, 24, 22, 22, 23) + 2500000);
    // What is not an offset leaves the fields as written.
    EXPECT_EQ(FileTimeToCount(log.At(4).time), UtcCount(2025, 7, 24, 20, 22, 23));
    EXPECT_EQ(FileTimeToCount(log.At(5).time), UtcCount(2025, 7, 24, 20, 22, 23));
    EXPECT_EQ(FileTimeToCount(log.At(6).time), 0u);  // before 1601 in UTC
}

TEST_F(GpxReader, NumbersUseAPointAndStopAtTheFirstForeignCharacter) {
    const TrackLog log = LoadText(Gpx(R"(
        <wpt lat="47,5" lon=" 8.25abc"><ele>x</ele><time>2007-06-01T12:00:00Z</time></wpt>)"));
    ASSERT_EQ(log.Count(), 1u);
    EXPECT_DOUBLE_EQ(log.At(0).latitude, 47.0);
    EXPECT_DOUBLE_EQ(log.At(0).longitude, 8.25);
    EXPECT_DOUBLE_EQ(log.At(0).elevation, 0.0);
}

TEST_F(GpxReader, OnlyExactLowerCaseNamesBelowTheTopLevelArePoints) {
    const TrackLog log = LoadText(R"(<trkpt lat="1" lon="1"><time>2007-06-01T12:00:00Z</time>
          <gpx:trkpt lat="2" lon="2"><time>2007-06-01T12:00:00Z</time></gpx:trkpt>
          <TRKPT lat="3" lon="3"><time>2007-06-01T12:00:00Z</time></TRKPT>
          <!-- <trkpt lat="4" lon="4"><time>2007-06-01T12:00:00Z</time></trkpt> -->
          <a><b><c><rtept lat="5" lon="5"><time>2007-06-01T12:00:00Z</time></rtept></c></b></a>
        </trkpt>)");
    ASSERT_EQ(log.Count(), 1u);
    EXPECT_DOUBLE_EQ(log.At(0).latitude, 5.0);
}

TEST_F(GpxReader, UnreadableInputsGiveAnEmptyLog) {
    TrackLog log;
    LoadTrackLog("", log);
    LoadTrackLog(m_Dir.File("missing.gpx"), log);
    EXPECT_TRUE(log.IsEmpty());
    EXPECT_TRUE(LoadText("this is not XML at all").IsEmpty());
    EXPECT_TRUE(LoadText(std::string("\x00\xff\xfe<\x01", 5)).IsEmpty());
    EXPECT_TRUE(LoadText("").IsEmpty());
}

TEST_F(GpxReader, KeepsThePointsBeforeAnXmlError) {
    const TrackLog log = LoadText(Gpx(R"(
        <wpt lat="1" lon="1"><time>2007-06-01T12:00:00Z</time></wpt>
        <wpt lat="2" lon="2"><time>2007-06-01T12:00:00Z</time></wpt>
        <wpt lat="3" lon=)"));
    EXPECT_EQ(log.Count(), 2u);
}

TEST_F(GpxReader, AppendsToWhatTheLogHolds) {
    const std::string path = m_Dir.File("one.gpx");
    WriteFileText(path, Gpx(R"(<wpt lat="1" lon="1"><time>2007-06-01T12:00:00Z</time></wpt>)"));
    TrackLog log;
    LoadTrackLog(path, log);
    LoadTrackLog(path, log);
    EXPECT_EQ(log.Count(), 2u);
}

TEST_F(GpxReader, TracesEveryNodeValueToTheDebuggerOutput) {
    DebugCapture capture;
    LoadText(Gpx(
        R"(<trk><trkpt lat="48.5" lon="11.5"><ele>519.6</ele><time>2007-06-01T12:04:50Z</time></trkpt></trk>)"));
    EXPECT_EQ(capture.Text(),
              "gpx\ntrk\ntrkpt\n48.5\n11.5\n519.6\n2007-06-01T12:04:50Z\nele\ntime\n");
}

TEST(GpxSamples, RealFilesFromSeveralTools) {
    TrackLog all;
    LoadTrackLog(SamplePath("gpx/gpx1.1_with_all_fields.gpx"), all);
    // Metadata, extensions and several segments: only the points with a time are kept.
    ASSERT_EQ(all.Count(), 3u);
    EXPECT_DOUBLE_EQ(all.At(0).latitude, 12.3);
    EXPECT_DOUBLE_EQ(all.At(1).longitude, 20.0);
    EXPECT_DOUBLE_EQ(all.At(2).longitude, -20.2);
    EXPECT_EQ(FileTimeToCount(all.At(2).time), UtcCount(2013, 1, 1, 12, 0, 4));

    TrackLog lake;
    LoadTrackLog(SamplePath("gpx/cerknicko-jezero.gpx"), lake);
    EXPECT_EQ(lake.Count(), 296u + 1u);  // one timed waypoint

    TrackLog bom;
    LoadTrackLog(SamplePath("gpx/unicode_with_bom.gpx"), bom);
    EXPECT_EQ(bom.Count(), 1u);

    TrackLog route;
    LoadTrackLog(SamplePath("gpx/route.gpx"), route);
    EXPECT_TRUE(route.IsEmpty());  // route points without times

    TrackLog subSecond;
    LoadTrackLog(SamplePath("gpx/track-with-less-sec-time.gpx"), subSecond);
    ASSERT_EQ(subSecond.Count(), 2u);
    // Written with the zone offset +01:00, and 0.994 s.
    EXPECT_EQ(FileTimeToCount(subSecond.At(1).time), UtcCount(2015, 12, 11, 14, 43, 13) + 9940000);
}

}  // namespace

TEST_F(GpxReader, FolderOfTracksIsReadFileByFileInByteOrderOfNames) {
    const std::string folder = m_Dir.File("trip");
    std::filesystem::create_directories(folder + "/sub.gpx");
    auto point = [](int lat) {
        return "<wpt lat=\"" + std::to_string(lat) + "\" lon=\"1\"><time>2007-06-01T12:00:00Z" +
               "</time></wpt>";
    };
    WriteFileText(folder + "/b.GPX", Gpx(point(3) + point(4)));
    WriteFileText(folder + "/B.gpx", Gpx(point(1)));
    WriteFileText(folder + "/a.gpx", Gpx(point(2)));
    WriteFileText(folder + "/c.gpx", "not XML");
    WriteFileText(folder + "/d.gpx.bak", Gpx(point(9)));
    WriteFileText(folder + "/sub.gpx/e.gpx", Gpx(point(9)));
    EXPECT_TRUE(Log::Instance().Open(Error, m_Dir.File("fenrik.log")).ok());
    TrackLog log;
    const TrackLoadReport report = LoadTrackLog(folder, log);
    Log::Instance().Close();
    ASSERT_EQ(log.Count(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_DOUBLE_EQ(log.At(i).latitude, static_cast<double>(i + 1));
    }
    EXPECT_EQ(report.points, 4u);
    EXPECT_EQ(report.files, 4u);
    EXPECT_EQ(report.failedFiles, 1u);
    EXPECT_EQ(report.status.message().rfind("c.gpx: could not be parsed", 0), 0u)
        << report.status.message();
    const std::string logText = ReadFileText(m_Dir.File("fenrik.log"));
    EXPECT_NE(logText.find("GPX file " + folder + "/c.gpx: could not be parsed"),
              std::string::npos);
}

TEST_F(GpxReader, FolderWithoutTracksSaysSo) {
    TrackLog log;
    const TrackLoadReport report = LoadTrackLog(m_Dir.Path(), log);
    EXPECT_EQ(report.status.message(), "no GPX files in the folder");
    EXPECT_EQ(report.files, 0u);
    EXPECT_TRUE(log.IsEmpty());
}
