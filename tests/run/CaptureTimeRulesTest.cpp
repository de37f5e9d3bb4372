// SPDX-License-Identifier: GPL-3.0-or-later
// Which moment a photo is matched at: its own offset, the zone's summer time, a corrected clock,
// and photos that carry a position of their own.
#include <gtest/gtest.h>

#include <map>

#include "EngineFixture.h"
#include "JpegFixtures.h"
#include "TestSupport.h"

namespace {

constexpr char kDigitized[] = "Exif.Photo.DateTimeDigitized";
constexpr char kLatitude[] = "Exif.GPSInfo.GPSLatitude";
// Latitudes written for the points the fixtures lay out.
constexpr char kFirstPoint[] = "10/1 0/1 0/100";
constexpr char kSecondPoint[] = "20/1 0/1 0/100";

class CaptureTimeRules : public ::testing::Test {
protected:
    void SetUp() override {
        engine.settings.m_ToleranceHours = "0";
        engine.settings.m_ToleranceMinutes = "2";
    }

    // Two points two hours apart: 20:53:51 UTC at 10 N and 22:53:51 UTC at 20 N, 14 July 2024.
    void AddEveningPoints() {
        engine.AddPoint(10.0, 1.0, 5.0, UtcCount(2024, 7, 14, 20, 53, 51));
        engine.AddPoint(20.0, 1.0, 5.0, UtcCount(2024, 7, 14, 22, 53, 51));
    }

    std::string Photo(const std::map<std::string, std::string>& tags) {
        const std::string path = dir.File("photo" + std::to_string(++photos) + ".jpg");
        WriteJpegWithExif(path, tags);
        return path;
    }

    std::string LatitudeOf(const std::string& path) { return ReadExif(path)[kLatitude]; }

    void Process() {
        engine.SetRules(clock, replaceRecordedPositions);
        engine.ProcessHotFolder(dir.Path());
    }

    void OpenLog() {
        EXPECT_TRUE(Log::Instance().Open(Debug, logDir.File("fenrik.log")).ok());
        engine.settings.m_UseLogfile = 1;
    }

    std::string LogText() { return ReadFileText(logDir.File("fenrik.log")); }

    TempDir dir;
    TempDir logDir;
    TestEngine engine;
    CameraClock clock;
    bool replaceRecordedPositions = true;
    int photos = 0;
    ClosedLogAfterTest closeLog;
};

}  // namespace

TEST_F(CaptureTimeRules, PhotoOwnOffsetDecidesWhenTheSettingIsOn) {
    AddEveningPoints();
    const std::string pixel =
        Photo({{kDigitized, "2024:07:14 22:53:51"}, {"Exif.Photo.OffsetTimeOriginal", "+02:00"}});
    Process();
    EXPECT_EQ(LatitudeOf(pixel), kFirstPoint);

    AddEveningPoints();
    const std::string again =
        Photo({{kDigitized, "2024:07:14 22:53:51"}, {"Exif.Photo.OffsetTimeOriginal", "+02:00"}});
    clock.usePhotoTimeZone = false;
    Process();
    EXPECT_EQ(LatitudeOf(again), kSecondPoint);
}

TEST_F(CaptureTimeRules, TheDigitizedOffsetComesFirstThenOriginalThenOffsetTime) {
    AddEveningPoints();
    const std::string digitized = Photo({{kDigitized, "2024:07:14 22:53:51"},
                                         {"Exif.Photo.OffsetTimeDigitized", "+02:00"},
                                         {"Exif.Photo.OffsetTimeOriginal", "+00:00"},
                                         {"Exif.Photo.OffsetTime", "+00:00"}});
    const std::string plain =
        Photo({{kDigitized, "2024:07:14 23:53:51"}, {"Exif.Photo.OffsetTime", "+03:00"}});
    Process();
    EXPECT_EQ(LatitudeOf(digitized), kFirstPoint);
    EXPECT_EQ(LatitudeOf(plain), kFirstPoint);
}

TEST_F(CaptureTimeRules, MalformedOffsetIsIgnoredWithATrace) {
    AddEveningPoints();
    OpenLog();
    const std::string photo =
        Photo({{kDigitized, "2024:07:14 22:53:51"}, {"Exif.Photo.OffsetTimeOriginal", "+2:00"}});
    const std::string unknown =
        Photo({{kDigitized, "2024:07:14 22:53:51"}, {"Exif.Photo.OffsetTimeOriginal", "   :  "}});
    DebugCapture trace;
    Process();
    EXPECT_EQ(LatitudeOf(photo), kSecondPoint);
    EXPECT_EQ(LatitudeOf(unknown), kSecondPoint);
    const std::string message =
        "Ignoring the malformed time offset \"+2:00\" of Exif.Photo.OffsetTimeOriginal";
    EXPECT_NE(trace.Text().find(message), std::string::npos);
    EXPECT_NE(LogText().find(message), std::string::npos);
    EXPECT_EQ(LogText().find("\"   :  \""), std::string::npos);
}

TEST_F(CaptureTimeRules, WithoutAnExifTimeTheFileTimeIsUsedAsAlways) {
    // Neither the photo's offset nor the clock correction applies to a file's modification time.
    engine.AddPoint(10.0, 1.0, 5.0, UtcCount(2024, 7, 14, 20, 53, 51));
    const std::string photo = Photo({{"Exif.Photo.OffsetTimeOriginal", "+02:00"}});
    SetLastWriteTime(photo, 2024, 7, 14, 20, 53, 51);
    clock.correctionSeconds = 3600;
    OpenLog();
    Process();
    EXPECT_EQ(LatitudeOf(photo), kFirstPoint);
    EXPECT_NE(LogText().find("Capture time read at +00:00 (file modification time), clock "
                             "correction not applied; the matched point is at the same second"),
              std::string::npos);
}

TEST_F(CaptureTimeRules, SummerTimeFollowsThePhotoDateInBothHemispheres) {
    // A Berlin camera on summer time shows 12:00 at 10:00 UTC; one on standard time at 11:00.
    engine.settings.m_BiasInMinutes = -60;
    engine.AddPoint(10.0, 1.0, 5.0, UtcCount(2024, 7, 14, 10, 0, 0));
    engine.AddPoint(20.0, 1.0, 5.0, UtcCount(2024, 7, 14, 11, 0, 0));
    clock.zoneId = "Europe/Berlin";
    const std::string standard = Photo({{kDigitized, "2024:07:14 12:00:00"}});
    Process();
    EXPECT_EQ(LatitudeOf(standard), kSecondPoint);

    clock.followDaylightSaving = true;
    OpenLog();
    const std::string summer = Photo({{kDigitized, "2024:07:14 12:00:00"}});
    Process();
    EXPECT_EQ(LatitudeOf(summer), kFirstPoint);
    EXPECT_NE(LogText().find("Capture time read at Europe/Berlin +02:00 with summer time, clock "
                             "correction none; the matched point is at the same second"),
              std::string::npos);
}

TEST_F(CaptureTimeRules, SydneySummerIsInJanuary) {
    engine.settings.m_BiasInMinutes = -600;
    engine.AddPoint(10.0, 1.0, 5.0, UtcCount(2024, 1, 14, 1, 0, 0));  // 12:00 at +11:00
    engine.AddPoint(20.0, 1.0, 5.0, UtcCount(2024, 1, 14, 2, 0, 0));  // 12:00 at +10:00
    engine.AddPoint(30.0, 1.0, 5.0, UtcCount(2024, 7, 14, 2, 0, 0));  // 12:00 at +10:00
    clock.zoneId = "Australia/Sydney";
    clock.followDaylightSaving = true;
    const std::string january = Photo({{kDigitized, "2024:01:14 12:00:00"}});
    const std::string july = Photo({{kDigitized, "2024:07:14 12:00:00"}});
    Process();
    EXPECT_EQ(LatitudeOf(january), kFirstPoint);
    EXPECT_EQ(LatitudeOf(july), "30/1 0/1 0/100");
}

TEST_F(CaptureTimeRules, ClockCorrectionIsTakenOffBeforeTheOffset) {
    // A camera 3 min 20 s fast, two hours ahead of UTC by its own offset, tolerance zero.
    engine.settings.m_ToleranceMinutes = "0";
    engine.AddPoint(10.0, 1.0, 5.0, UtcCount(2024, 7, 14, 10, 4, 50));
    const std::string photo =
        Photo({{kDigitized, "2024:07:14 12:08:10"}, {"Exif.Photo.OffsetTime", "+02:00"}});
    Process();
    EXPECT_EQ(LatitudeOf(photo), "");

    clock.correctionSeconds = 200;
    OpenLog();
    Process();
    EXPECT_EQ(LatitudeOf(photo), kFirstPoint);
    EXPECT_NE(LogText().find("Capture time read at +02:00 from the photo, clock correction "
                             "camera 3 min 20 s fast; the matched point is at the same second"),
              std::string::npos);
}

TEST_F(CaptureTimeRules, MatchedPointDistanceIsLogged) {
    engine.AddPoint(10.0, 1.0, 5.0, UtcCount(2024, 7, 14, 10, 0, 40));
    clock.zoneId = "Europe/Berlin";
    engine.settings.m_BiasInMinutes = -60;
    Photo({{kDigitized, "2024:07:14 11:00:00"}});
    OpenLog();
    Process();
    EXPECT_NE(LogText().find("Capture time read at Europe/Berlin +01:00, clock correction none; "
                             "the matched point is 40 s later"),
              std::string::npos);
}

TEST_F(CaptureTimeRules, RecordedPositionsAreKeptWhenAskedAndReplacedOtherwise) {
    AddEveningPoints();
    const std::map<std::string, std::string> phone = {
        {kDigitized, "2024:07:14 22:53:51"},
        {kLatitude, "48/1 8/1 0/1"},
        {"Exif.GPSInfo.GPSLongitude", "11/1 34/1 0/1"}};
    const std::string kept = Photo(phone);
    const std::string onlyLatitude =
        Photo({{kDigitized, "2024:07:14 22:53:51"}, {kLatitude, "48/1 8/1 0/1"}});
    const std::string before = ReadFileText(kept);
    replaceRecordedPositions = false;
    OpenLog();
    Process();
    EXPECT_EQ(ReadFileText(kept), before);
    EXPECT_EQ(LatitudeOf(onlyLatitude), kSecondPoint);
    EXPECT_NE(LogText().find("Keeping the position recorded in the photo"), std::string::npos);

    replaceRecordedPositions = true;
    Process();
    EXPECT_EQ(LatitudeOf(kept), kSecondPoint);
}

TEST_F(CaptureTimeRules, RunTakesItsRulesFromItsInputsAndCountsThem) {
    engine.settings.m_HotFolder1 = dir.Path();
    Photo({{kDigitized, "2024:07:14 22:53:51"}, {"Exif.Photo.OffsetTimeOriginal", "+02:00"}});
    Photo({{kDigitized, "2024:07:14 22:53:51"},
           {kLatitude, "48/1 8/1 0/1"},
           {"Exif.GPSInfo.GPSLongitude", "11/1 34/1 0/1"}});
    Photo({{kDigitized, "2024:07:14 22:53:51"}});
    const std::string gpx = dir.File("track.gpx.txt");
    WriteFileText(gpx, R"(<gpx><trk><trkseg>
        <trkpt lat="10" lon="1"><time>2024-07-14T20:53:51Z</time></trkpt>
        <trkpt lat="20" lon="1"><time>2024-07-14T22:53:51Z</time></trkpt>
        </trkseg></trk></gpx>)");
    LastSummary events;
    TaggingRunInputs inputs;
    inputs.gpxPath = gpx;
    inputs.hotFolderOn[0] = true;
    inputs.replaceRecordedPositions = false;
    engine.RunTaggingPass(events, inputs);
    EXPECT_EQ(events.last.tagged, 2u);
    EXPECT_EQ(events.last.hadPosition, 1u);
    EXPECT_EQ(events.last.ownOffset, 1u);
    EXPECT_EQ(RunSummaryText(events.last),
              "Last run: 3 photos checked in 1 folder; 2 tagged; 1 had a position; 1 read with "
              "their own time offset; GPX: 2 points");
}

// Between two points only when asked, within the gap limit, at the photo's fraction of a second;
// off, the nearest point within the tolerance as ever, and the log as ever.
TEST_F(CaptureTimeRules, PhotosArePlacedBetweenPointsOnlyWhenAsked) {
    AddEveningPoints();
    const std::string photo =
        Photo({{kDigitized, "2024:07:14 21:53:51"}, {"Exif.Photo.SubSecTimeDigitized", "5"}});
    OpenLog();
    Process();
    EXPECT_EQ(LatitudeOf(photo), "");  // an hour from either point
    EXPECT_EQ(LogText().find("placed"), std::string::npos);

    engine.settings.m_InterpolatePositions = 1;
    Process();
    EXPECT_EQ(LatitudeOf(photo), "");  // the points lie two hours apart, over the limit
    EXPECT_NE(LogText().find("Not placed: between two track points 2 h 0 min 0 s apart, more than "
                             "the largest gap"),
              std::string::npos)
        << LogText();

    engine.settings.m_MaxInterpolationGapSeconds = 3 * 3600;
    OpenLog();
    Process();
    // Half way, and half a second on: 15 degrees and 2.5 seconds of arc.
    EXPECT_EQ(LatitudeOf(photo), "15/1 0/1 250/100");
    EXPECT_NE(LogText().find("placed: interpolated between points 1 h 0 min 0 s and "
                             "59 min 59 s away"),
              std::string::npos)
        << LogText();
}
