// SPDX-License-Identifier: GPL-3.0-or-later
// Runs over hot folders of TIFF, HEIF, WebP and PNG photos: they are tagged in their files with
// the same guarantees as JPEG photos, in a sidecar where the file cannot take the position, and
// a file whose content is not what its name says is never written.
#include <gtest/gtest.h>

#include <exiv2/exiv2.hpp>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

#include "EngineFixture.h"
#include "Exiv2Listing.h"
#include "JpegFixtures.h"
#include "RawFixtures.h"
#include "TestSupport.h"
#include "photo/PhotoFacts.h"

namespace {

constexpr char kTrackLatitude[] = "48,08.229167N";
const char kLatitudeLine[] = "Exif.GPSInfo.GPSLatitude 5 3 48/1 8/1 1375/100";

class PhotoFormatsRun : public PhotoTaggingTest {
protected:
    void SetUp() override {
        PhotoTaggingTest::SetUp();
        InitialiseImageLibrary();
    }
    // A copy of a sample as `name`; its file time is the track point's, for photos without a
    // capture time of their own.
    std::string Photo(const std::string& sample, const std::string& name) {
        const std::string path = dir.File(name);
        CopyFile(SamplePath("photo-formats/" + sample), path);
        SetLastWriteTime(path, 2007, 6, 1, 12, 5, 30);
        return path;
    }
    bool HasLatitude(const std::string& path) {
        return ListWithExiv2(ReadFileText(path)).gps.count(kLatitudeLine) == 1;
    }
    void OpenLog() {
        ASSERT_TRUE(Log::Instance().Open(Debug, logDir.File("fenrik.log")).ok());
        engine.settings.m_UseLogfile = 1;
    }
    std::string LogText() { return ReadFileText(logDir.File("fenrik.log")); }

    TempDir logDir;
    ClosedLogAfterTest closeLog;
};

TEST_F(PhotoFormatsRun, EachFormatIsTaggedInItsFileWhateverTheLetterCaseOfItsName) {
    const std::string photos[] = {
        Photo("generated/tiff-le.tif", "A.TIF"),       Photo("generated/tiff-be.tif", "b.Tiff"),
        Photo("generated/lossy.webp", "C.WEBP"),       Photo("generated/animated.webp", "d.webp"),
        Photo("generated/png-exif.png", "E.Png"),      Photo("generated/png-noexif.png", "f.png"),
        Photo("generated/lossy-noexif.webp", "g.webp")};
    const RunSummary summary = engine.ProcessHotFolder(dir.Path());
    EXPECT_EQ(summary.checked, 7u);
    EXPECT_EQ(summary.tagged, 7u);
    for (const std::string& path : photos) {
        EXPECT_TRUE(HasLatitude(path)) << path;
    }
}

TEST_F(PhotoFormatsRun, AFileWhoseContentIsNotWhatItsNameSaysIsSkippedAndNeverWritten) {
    OpenLog();
    const std::string png = Photo("generated/png-exif.png", "photo.jpg");
    const std::string text = dir.File("text.heic");
    WriteFileText(text, "not a picture");
    const std::string before[] = {ReadFileText(png), ReadFileText(text)};
    const RunSummary summary = engine.ProcessHotFolder(dir.Path());
    EXPECT_EQ(summary.skipped, 2u);
    EXPECT_EQ(ReadFileText(png), before[0]);
    EXPECT_EQ(ReadFileText(text), before[1]);
    const std::string log = LogText();
    EXPECT_NE(log.find("Skipping " + png + ": its name says JPEG, but its content is a PNG file"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("Skipping " + text + ": its content is not a HEIF file"), std::string::npos);
}

TEST_F(PhotoFormatsRun, ABigTiffIsMatchedByItsOwnCaptureTimeAndTaggedInItsSidecar) {
    OpenLog();
    const std::string big = Photo("generated/bigtiff-exif.tif", "scan.tif");
    SetLastWriteTime(big, 2020, 1, 1, 0, 0, 0);  // far from the track: only its Exif can match
    const std::string before = ReadFileText(big);
    EXPECT_EQ(engine.ProcessHotFolder(dir.Path()).tagged, 1u);
    EXPECT_EQ(ReadFileText(big), before);
    EXPECT_EQ(ReadSidecar(dir.File("scan.xmp"))["Xmp.exif.GPSLatitude"], kTrackLatitude);
    EXPECT_NE(LogText().find("The position of " + big + " goes into its sidecar: a BigTIFF file"),
              std::string::npos);
}

TEST_F(PhotoFormatsRun, AHeifWithoutAnExifItemGetsASidecarAndTheLogSaysWhy) {
    OpenLog();
    const std::string heif = Photo("cheers_1440x960.heic", "IMG_1.HEIC");  // matched by file time
    const std::string before = ReadFileText(heif);
    const RunSummary summary = engine.ProcessHotFolder(dir.Path());
    EXPECT_EQ(summary.tagged, 1u);
    EXPECT_EQ(summary.rawPhotos, 0u);
    EXPECT_EQ(ReadFileText(heif), before);
    EXPECT_EQ(ReadSidecar(dir.File("IMG_1.xmp"))["Xmp.exif.GPSLatitude"], kTrackLatitude);
    EXPECT_NE(LogText().find("The position of " + heif +
                             " goes into its sidecar: the file holds no Exif item"),
              std::string::npos);
    // Tagged again, the sidecar holds the position already.
    EXPECT_EQ(engine.ProcessHotFolder(dir.Path()).alreadyTagged, 1u);
}

TEST_F(PhotoFormatsRun, WithSidecarsSwitchedOffAPhotoThatNeedsOneIsSkippedWithTheReason) {
    OpenLog();
    engine.SetRaw(false);
    const std::string heif = Photo("cheers_1440x960.heic", "IMG_1.heic");
    EXPECT_EQ(engine.ProcessHotFolder(dir.Path()).skipped, 1u);
    EXPECT_NE(LogText().find("Skipping " + heif +
                             ": the file holds no Exif item, and sidecar files are switched off"),
              std::string::npos);
    EXPECT_FALSE(std::ifstream(dir.File("IMG_1.xmp")).good());
}

TEST_F(PhotoFormatsRun, ATaggedPhotoIsNotRewrittenAndItsPositionKeptWhenAskedTo) {
    const std::string path = Photo("generated/png-noexif.png", "a.png");
    EXPECT_EQ(engine.ProcessHotFolder(dir.Path()).tagged, 1u);
    SetLastWriteTime(path, 2007, 6, 1, 12, 5, 30);  // the written file's time, for the match
    const std::string tagged = ReadFileText(path);
    EXPECT_EQ(engine.ProcessHotFolder(dir.Path()).alreadyTagged, 1u);
    EXPECT_EQ(ReadFileText(path), tagged);
    engine.SetRules(CameraClock(), false);
    engine.Track().Empty();
    engine.AddPoint(-33.8568, 151.2153, 58.9, UtcCount(2007, 6, 1, 12, 4, 50));
    EXPECT_EQ(engine.ProcessHotFolder(dir.Path()).hadPosition, 1u);
    EXPECT_EQ(ReadFileText(path), tagged);
    engine.SetRules(CameraClock(), true);
    EXPECT_EQ(engine.ProcessHotFolder(dir.Path()).tagged, 1u);
    EXPECT_NE(ReadFileText(path), tagged);
}

TEST_F(PhotoFormatsRun, ANewFileThatDoesNotFitIsMadeOnceMoreAfterTheBatchAndNeverHalfWritten) {
    const std::string heif = Photo("avif.avif", "a.avif");
    const std::string tiff = Photo("generated/tiff-le.tif", "b.tif");
    const std::string png = Photo("generated/png-noexif.png", "c.png");
    engine.settings.m_ToleranceHours = "500000";  // the AVIF's capture time is of 2018
    int full = 0;
    engine.SetWriteFaultHook([&full](const std::string& step) {
        if (step == "copy" && full++ == 1) {  // one range of an original finds the disk full
            errno = ENOSPC;
            return false;
        }
        return true;
    });
    const RunSummary summary = engine.ProcessHotFolder(dir.Path());
    EXPECT_EQ(summary.tagged, 3u);
    EXPECT_EQ(summary.skipped, 0u);
    for (const std::string& path : {heif, tiff, png}) {
        EXPECT_TRUE(HasLatitude(path)) << path;
    }
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        EXPECT_EQ(entry.path().filename().string().find(".fenrik-"), std::string::npos);
    }
}

}  // namespace
