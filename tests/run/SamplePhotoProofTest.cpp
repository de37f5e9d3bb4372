// SPDX-License-Identifier: GPL-3.0-or-later
// Tagging every sample photo changes its GPS tags and nothing else: Exiv2 reads every other
// datum as before, the GPS tags read as the Exiv2 writer wrote them, and the bytes outside the
// Exif segment and the original TIFF data stay as they were.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <exiv2/exiv2.hpp>

#include <filesystem>
#include <optional>

#include "EngineFixture.h"
#include "Exiv2Listing.h"
#include "ReferenceGpsWriter.h"
#include "TestSupport.h"
#include "photo/PhotoSource.h"
#include "photo/exif/ExifReadBack.h"
#include "photo/jpeg/ExifGpsEdit.h"

namespace fs = std::filesystem;

namespace {

// Every byte outside the Exif segment is as it was; so is every byte of the original TIFF data
// but the header's IFD0 offset.
void ExpectOnlyTheExifSegmentChanged(const std::string& before, const std::string& after,
                                     const std::string& name) {
    const std::optional<ByteSpan> old = FirstExifSegment(before);
    const std::optional<ByteSpan> now = FirstExifSegment(after);
    ASSERT_TRUE(now) << name;
    const std::string outsideAfter = after.substr(0, now->start) + after.substr(now->end);
    if (!old) {
        EXPECT_TRUE(outsideAfter == before) << name;
        return;
    }
    EXPECT_EQ(old->start, now->start) << name;
    EXPECT_TRUE(outsideAfter == before.substr(0, old->start) + before.substr(old->end)) << name;
    const std::string oldTiff = before.substr(old->start + 10, old->end - old->start - 10);
    std::string newTiff = after.substr(now->start + 10, oldTiff.size());
    newTiff.replace(4, 4, oldTiff.substr(4, 4));
    EXPECT_TRUE(newTiff == oldTiff) << name;
}

class SamplePhotos : public PhotoTaggingTest {
protected:
    void SetUp() override {
        PhotoTaggingTest::SetUp();
        engine.settings.m_ToleranceHours = "500000";  // about 57 years either side
    }
    void UsePoint(double latitude, double longitude, double elevation) {
        engine.Track().Empty();
        engine.AddPoint(latitude, longitude, elevation, UtcCount(2005, 1, 1, 0, 0, 0));
    }
    // Tags each sample photo alone; returns how many were not tagged.
    int TagEachAndCompare() {
        int untagged = 0;
        for (const auto& entry : fs::directory_iterator(SamplePath("jpg"))) {
            untagged += TagAndCompare(entry.path()) ? 0 : 1;
        }
        return untagged;
    }
    bool TagAndCompare(const fs::path& sample) {
        const std::string name = sample.filename().string();
        const std::string path = dir.File(name);
        CopyFile(sample.string(), path);
        const std::string before = ReadFileText(path);
        std::optional<Exiv2Listing> reference;
        try {
            reference = ListWithExiv2(RewriteWithExiv2(before, PositionOf(engine.Track().At(0))));
        } catch (const std::exception&) {
        }
        DebugCapture capture;
        engine.ProcessHotFolder(dir.Path());
        const std::string after = ReadFileText(path);
        fs::remove(path);
        if (after == before) {
            EXPECT_NE(capture.Text().find("Skipping"), std::string::npos) << name;
            std::printf("%s not tagged: %s", name.c_str(), capture.Text().c_str());
            return false;
        }
        const Exiv2Listing was = ListWithExiv2(before);
        const Exiv2Listing is = ListWithExiv2(after);
        EXPECT_TRUE(is.other == was.other) << name;
        EXPECT_TRUE(reference && is.gps == reference->gps) << name;
        ExpectOnlyTheExifSegmentChanged(before, after, name);
        return true;
    }
};

TEST_F(SamplePhotos, TaggingChangesOnlyTheGpsTagsAsTheExiv2WriterSetsThem) {
    UsePoint(-33.8568, 151.2153, 58.9);
    EXPECT_EQ(TagEachAndCompare(), 0);
    UsePoint(0.0, -0.1275, -12.7);  // south and west at zero, below sea level
    EXPECT_EQ(TagEachAndCompare(), 0);
    UsePoint(48.137154, 11.575382, kNoElevation);  // an older altitude stays
    EXPECT_EQ(TagEachAndCompare(), 0);
}

TEST_F(SamplePhotos, TaggingAPhotoAgainAndAgainKeepsItsSizeAfterTheFirstTime) {
    for (const auto& entry : fs::directory_iterator(SamplePath("jpg"))) {
        std::string photo = ReadFileText(entry.path().string());
        const Exiv2Listing original = ListWithExiv2(photo);
        size_t firstSize = 0;
        for (int run = 0; run < 5; ++run) {
            const GeoPosition point = PointAt(-40.0 + 7.5 * run, 100.0 - 3.25 * run, 20.0 * run);
            const auto image =
                ReadWithExiv2(reinterpret_cast<const unsigned char*>(photo.data()), photo.size());
            const ExifEdit edit = EditExifGps(reinterpret_cast<const unsigned char*>(photo.data()),
                                              photo.size(), *image, GpsPositionOf(point), 4096);
            ASSERT_EQ(edit.outcome, ExifEditOutcome::Edited) << entry.path() << edit.reason;
            firstSize = run == 0 ? edit.head.size() : firstSize;
            EXPECT_EQ(edit.head.size(), firstSize) << entry.path() << " run " << run;
            EXPECT_TRUE(ListWithExiv2(edit.head).other == original.other) << entry.path();
            photo = edit.head;
        }
    }
}

TEST_F(SamplePhotos, OnlyTheHeaderIsReadOfPhotosWhoseImageDataReachesPastIt) {
    int split = 0;
    for (const auto& entry : fs::directory_iterator(SamplePath("jpg"))) {
        const std::string original = ReadFileText(entry.path().string());
        PhotoSource source;
        if (OpenPhoto(entry.path().string(), source).ok() && source.head.size < original.size()) {
            ++split;
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(source.head.data.get()),
                                  source.head.size),
                      original.substr(0, source.head.size))
                << entry.path();
        }
    }
    // The small camera samples end within the header's margin.
    EXPECT_GE(split, 13);
}

}  // namespace
