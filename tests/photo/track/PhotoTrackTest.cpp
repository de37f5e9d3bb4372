// SPDX-License-Identifier: GPL-3.0-or-later
// Photos that carry positions read as a track: the fix each gives (references, altitude, the
// time by the GPS, by the photo's own offset or by the camera's zone), and a folder of tracks
// whose photo folders become segments in time order without a byte of the photos changing.
#include <sys/stat.h>

#include <gtest/gtest.h>
#include <exiv2/exiv2.hpp>

#include <atomic>
#include <cmath>
#include <filesystem>
#include <string>

#include "TestSupport.h"
#include "photo/PhotoFacts.h"
#include "photo/track/PhotoTrack.h"
#include "track/load/TrackLoad.h"

namespace {

// Copies a camera photo without GPS to `path` and sets the given Exif tags on the copy.
void WritePhoto(const std::string& path,
                const std::vector<std::pair<std::string, std::string>>& tags) {
    CopyFile(SamplePath("jpg/Canon_40D.jpg"), path);
    auto image = Exiv2::ImageFactory::open(path);
    image->readMetadata();
    Exiv2::ExifData& exif = image->exifData();
    for (const auto& [key, value] : tags) {
        exif[key] = value;
    }
    image->writeMetadata();
}

// A phone photo at `minutes` past noon UTC on 2024-05-01 by its GPS stamp, at 48.5 N, 11.`x` E.
std::vector<std::pair<std::string, std::string>> PhoneTags(int minutes, int x) {
    return {{"Exif.GPSInfo.GPSLatitudeRef", "N"},
            {"Exif.GPSInfo.GPSLatitude", "48/1 30/1 0/1"},
            {"Exif.GPSInfo.GPSLongitudeRef", "E"},
            {"Exif.GPSInfo.GPSLongitude", "11/1 " + std::to_string(x) + "/1 0/1"},
            {"Exif.GPSInfo.GPSDateStamp", "2024:05:01"},
            {"Exif.GPSInfo.GPSTimeStamp", "12/1 " + std::to_string(minutes) + "/1 0/1"}};
}

std::optional<PhotoFix> FixOf(const std::string& path) {
    InitialiseImageLibrary();
    auto image = Exiv2::ImageFactory::open(path);
    image->readMetadata();
    return ReadPhotoFix(image->exifData());
}

class PhotoTrack : public ::testing::Test {
protected:
    TempDir m_Dir;
    ClosedLogAfterTest m_CloseLog;
};

TEST_F(PhotoTrack, APhoneSampleGivesItsPositionAltitudeAndGpsTime) {
    const std::string path = m_Dir.File("phone.jpg");
    CopyFile(SamplePath("tracks/mei_HTC_Desire.jpg"), path);
    const std::optional<PhotoFix> fix = FixOf(path);
    ASSERT_TRUE(fix);
    EXPECT_NEAR(fix->position.latitude, 45.0 + 30.0 / 60 + 2.4 / 3600, 1e-9);
    EXPECT_NEAR(fix->position.longitude, 9.0 + 6.0 / 60 + 37.2 / 3600, 1e-9);
    EXPECT_DOUBLE_EQ(fix->position.elevation, 217.0);
    ASSERT_TRUE(fix->gpsTime);
    EXPECT_EQ(*fix->gpsTime, UtcCount(2011, 5, 6, 7, 59, 48));
}

// A phone's photos need not be JPEGs: a WebP with a position is a point of the track as well.
TEST_F(PhotoTrack, PhotosOfTheOtherFormatsServeToo) {
    CopyFile(SamplePath("photo-formats/HTC_Desire.webp"), m_Dir.File("phone.webp"));
    TrackLog log;
    const TrackLoadReport report = LoadTrackLog(m_Dir.Path(), log);
    ASSERT_TRUE(report.status.ok()) << report.status.message();
    ASSERT_EQ(log.Count(), 1u);
    EXPECT_NEAR(log.At(0).latitude, 45.0 + 30.0 / 60 + 2.4 / 3600, 1e-9);
    EXPECT_NEAR(log.At(0).longitude, 9.0 + 6.0 / 60 + 37.2 / 3600, 1e-9);
}

TEST_F(PhotoTrack, ReferencesTurnTheSignAndBrokenCoordinatesGiveNoFix) {
    const std::string south = m_Dir.File("south.jpg");
    WritePhoto(south, {{"Exif.GPSInfo.GPSLatitudeRef", "S"},
                       {"Exif.GPSInfo.GPSLatitude", "33/1 51/1 3600/100"},
                       {"Exif.GPSInfo.GPSLongitudeRef", "W"},
                       {"Exif.GPSInfo.GPSLongitude", "70/1 40/1 0/1"},
                       {"Exif.GPSInfo.GPSAltitudeRef", "1"},
                       {"Exif.GPSInfo.GPSAltitude", "15/2"}});
    const std::optional<PhotoFix> fix = FixOf(south);
    ASSERT_TRUE(fix);
    EXPECT_NEAR(fix->position.latitude, -(33.0 + 51.0 / 60 + 36.0 / 3600), 1e-9);
    EXPECT_NEAR(fix->position.longitude, -(70.0 + 40.0 / 60), 1e-9);
    EXPECT_DOUBLE_EQ(fix->position.elevation, -7.5);
    EXPECT_FALSE(fix->gpsTime);
    EXPECT_FALSE(fix->captureText.empty());  // the camera's DateTimeOriginal

    const std::pair<const char*, const char*> broken[] = {
        {"Exif.GPSInfo.GPSLatitude", "91/1 0/1 0/1"},  // past the pole
        {"Exif.GPSInfo.GPSLatitude", "48/0 0/1 0/1"},  // a zero denominator
        {"Exif.GPSInfo.GPSLatitude", "48/1 30/1"},     // two parts
    };
    for (const auto& [key, value] : broken) {
        SCOPED_TRACE(value);
        const std::string path = m_Dir.File("broken.jpg");
        WritePhoto(path, {{key, value}, {"Exif.GPSInfo.GPSLongitude", "11/1 0/1 0/1"}});
        EXPECT_FALSE(FixOf(path));
    }
}

TEST_F(PhotoTrack, TheTimeIsTheGpsStampsElseTheOwnOffsetsElseTheCameraZones) {
    PhotoFix fix;
    fix.captureText = "2024:05:01 14:00:00";
    CaptureFacts capture;
    CameraZone berlin{-120, "", false};  // UTC = local - 2 h
    EXPECT_EQ(PhotoFixTime(fix, capture, berlin), UtcCount(2024, 5, 1, 12, 0, 0));
    capture.hasOffsetTag = true;
    capture.offsetKey = "Exif.Photo.OffsetTimeOriginal";
    capture.offsetText = "+03:00";
    EXPECT_EQ(PhotoFixTime(fix, capture, berlin), UtcCount(2024, 5, 1, 11, 0, 0));
    fix.gpsTime = UtcCount(2024, 5, 1, 11, 0, 7);
    EXPECT_EQ(PhotoFixTime(fix, capture, berlin), UtcCount(2024, 5, 1, 11, 0, 7));

    PhotoFix timeless;  // neither: the file's modification time is not taken for one
    EXPECT_FALSE(PhotoFixTime(timeless, CaptureFacts(), berlin));
    timeless.captureText = "2024:13:01 00:00:00";
    EXPECT_FALSE(PhotoFixTime(timeless, CaptureFacts(), berlin));
}

TEST_F(PhotoTrack, PhotoFoldersOfATracksFolderAreSegmentsInTimeOrderAndStayUntouched) {
    CopyFile(SamplePath("gpx/Mojstrovka.gpx"), m_Dir.File("day.gpx"));
    std::filesystem::create_directories(m_Dir.File("phone"));
    WritePhoto(m_Dir.File("phone/a.jpg"), PhoneTags(30, 3));
    WritePhoto(m_Dir.File("phone/b.jpg"), PhoneTags(10, 1));
    WritePhoto(m_Dir.File("phone/c.jpg"), PhoneTags(20, 2));
    CopyFile(SamplePath("jpg/Nikon_D70.jpg"), m_Dir.File("phone/camera.jpg"));  // no GPS
    // Photos that cannot be read, and a FIFO named as one, are passed over without a word.
    CopyFile(SamplePath("jpg/corrupted.jpg"), m_Dir.File("phone/corrupted.jpg"));
    CopyFile(SamplePath("jpg/invalid-image00971.jpg"), m_Dir.File("phone/invalid.jpg"));
    WriteFileText(m_Dir.File("phone/empty.jpg"), "");
    ASSERT_EQ(mkfifo(m_Dir.File("phone/pipe.jpg").c_str(), 0600), 0);
    WritePhoto(m_Dir.File("own.jpg"), PhoneTags(40, 4));
    std::filesystem::create_directories(m_Dir.File("empty"));
    const std::string before = ReadFileText(m_Dir.File("phone/a.jpg"));
    struct stat statBefore {};
    stat(m_Dir.File("phone/a.jpg").c_str(), &statBefore);

    TrackLog log;
    const TrackLoadReport report = LoadTrackLog(m_Dir.Path(), log);
    EXPECT_TRUE(report.status.ok()) << report.status.message();
    EXPECT_EQ(report.files, 1u);
    ASSERT_EQ(report.kinds.size(), 2u);
    EXPECT_EQ(report.kinds[1].format, "photos");
    EXPECT_EQ(report.kinds[1].files, 4u);
    ASSERT_EQ(log.Origins().size(), 3u);  // the GPX, the folder's own photo, the phone's three
    const TrackOrigin& phone = log.Origins()[2];
    EXPECT_EQ(phone.path, m_Dir.File("phone"));
    ASSERT_EQ(phone.count, 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(FileTimeToCount(log.At(phone.first + i).time),
                  UtcCount(2024, 5, 1, 12, 10 * static_cast<int>(i + 1), 0));
        EXPECT_NEAR(log.At(phone.first + i).longitude, 11.0 + static_cast<double>(i + 1) / 60.0,
                    1e-9);
    }
    EXPECT_NE(log.RunAt(phone.first).segment, log.RunAt(log.Origins()[1].first).segment);
    EXPECT_EQ(log.RunAt(phone.first).segment, log.RunAt(phone.first + 2).segment);

    struct stat statAfter {};
    stat(m_Dir.File("phone/a.jpg").c_str(), &statAfter);
    EXPECT_EQ(ReadFileText(m_Dir.File("phone/a.jpg")), before);
    EXPECT_EQ(statAfter.st_mtim.tv_sec, statBefore.st_mtim.tv_sec);
    EXPECT_EQ(statAfter.st_mtim.tv_nsec, statBefore.st_mtim.tv_nsec);
}

TEST_F(PhotoTrack, AFolderOfPhotosAloneIsATrackAndOneWithoutPositionsIsNone) {
    WritePhoto(m_Dir.File("p.jpg"), PhoneTags(5, 5));
    TrackLog log;
    const TrackLoadReport report = LoadTrackLog(m_Dir.Path(), log);
    EXPECT_TRUE(report.status.ok()) << report.status.message();
    EXPECT_EQ(report.points, 1u);
    EXPECT_EQ(report.files, 0u);

    TempDir cameraOnly;
    CopyFile(SamplePath("jpg/Canon_40D.jpg"), cameraOnly.File("c.jpg"));
    TrackLog none;
    EXPECT_EQ(LoadTrackLog(cameraOnly.Path(), none).status.message(), "no GPX files in the folder");

    const std::atomic<bool> stop{true};
    TrackReadOptions options;
    options.stop = &stop;
    TrackLog stopped;
    EXPECT_EQ(LoadTrackLog(m_Dir.Path(), stopped, options).status.code(), StatusCode::Stopped);
    EXPECT_TRUE(stopped.IsEmpty());
}

}  // namespace
