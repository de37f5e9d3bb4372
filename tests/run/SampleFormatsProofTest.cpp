// SPDX-License-Identifier: GPL-3.0-or-later
// Tagging every sample photo of the formats beyond JPEG changes its GPS tags and nothing else:
// Exiv2 reads every other datum as before, and the image decodes to the same pixels (libheif's
// heif-convert for HEIF, ImageMagick for the others). What goes into a sidecar leaves the file as
// it was.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>

#include "EngineFixture.h"
#include "Exiv2Listing.h"
#include "TestSupport.h"
#include "photo/PhotoFacts.h"
#include "photo/PhotoFormat.h"

namespace fs = std::filesystem;

namespace {

// What a command prints on its standard output.
std::string CommandOutput(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return out;
    }
    char buffer[65536];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        out.append(buffer, n);
    }
    pclose(pipe);
    return out;
}

// The image's pixels as 8-bit RGBA, decoded by libheif for HEIF and by ImageMagick otherwise.
std::string Pixels(const std::string& path, const std::string& scratch) {
    std::string image = path;
    if (FormatOfName(path) == PhotoFormat::Heif) {
        image = scratch + "/decoded.png";
        CommandOutput("heif-convert '" + path + "' '" + image + "' >/dev/null 2>&1");
    }
    const std::string pixels = CommandOutput("convert '" + image + "' -depth 8 rgba:- 2>/dev/null");
    fs::remove(scratch + "/decoded.png");
    return pixels;
}

class SampleFormats : public PhotoTaggingTest {
protected:
    void SetUp() override {
        PhotoTaggingTest::SetUp();
        InitialiseImageLibrary();
        engine.settings.m_ToleranceHours = "500000";  // about 57 years either side
        engine.Track().Empty();
        engine.AddPoint(-33.8568, 151.2153, 58.9, UtcCount(2010, 1, 1, 0, 0, 0));
    }

    // Tags the sample alone; false when it was not tagged in its file.
    bool TagAndCompare(const fs::path& sample) {
        const std::string name = sample.filename().string();
        const std::string path = dir.File(name);
        CopyFile(sample.string(), path);
        const std::string before = ReadFileText(path);
        const std::string pixels = Pixels(path, scratch.Path());
        engine.ProcessHotFolder(dir.Path());
        const std::string after = ReadFileText(path);
        fs::remove_all(dir.Path());
        fs::create_directory(dir.Path());
        if (after == before) {
            return false;
        }
        const Exiv2Listing was = ListWithExiv2(before);
        const Exiv2Listing is = ListWithExiv2(after);
        EXPECT_TRUE(is.other == was.other) << name;
        EXPECT_EQ(is.gps.count("Exif.GPSInfo.GPSLatitude 5 3 33/1 51/1 2448/100"), 1u) << name;
        WriteFileText(scratch.File(name), after);
        EXPECT_FALSE(pixels.empty()) << name;
        EXPECT_TRUE(Pixels(scratch.File(name), scratch.Path()) == pixels) << name;
        return true;
    }

    TempDir scratch;
};

TEST_F(SampleFormats, EverySampleChangesOnlyItsGpsTagsAndDecodesToTheSamePixels) {
    std::set<std::string> untagged;
    for (const char* folder : {"photo-formats", "photo-formats/generated"}) {
        for (const auto& entry : fs::directory_iterator(SamplePath(folder))) {
            if (entry.is_regular_file() && !TagAndCompare(entry.path())) {
                untagged.insert(entry.path().filename().string());
            }
        }
    }
    // A HEIF without an Exif item, a CR3 and the BigTIFFs get sidecars.
    EXPECT_EQ(untagged, (std::set<std::string>{"cheers_1440x960.heic", "Canon-R6-pruned.CR3",
                                               "bigtiff.tif", "bigtiff-exif.tif"}));
}

}  // namespace
