// SPDX-License-Identifier: GPL-3.0-or-later
// RAW photos in a hot folder: their positions go into XMP sidecars, the RAW files stay exactly
// as the camera wrote them, and an editor's sidecar keeps all it held.
#include <gtest/gtest.h>

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <exiv2/exiv2.hpp>

#include "EngineFixture.h"
#include "JpegFixtures.h"
#include "RawFixtures.h"
#include "TestSupport.h"
#include "durable/StaleTemporaries.h"
#include "photo/HotFolderFiles.h"
#include "photo/PhotoFacts.h"
#include "photo/WrittenContent.h"

namespace {

constexpr char kDigitized[] = "Exif.Photo.DateTimeDigitized";
constexpr char kMatching[] = "2007:06:01 12:05:30";
constexpr char kSidecarLatitude[] = "Xmp.exif.GPSLatitude";
constexpr char kTrackLatitude[] = "48,08.229167N";

// A file's bytes and modification time, to tell that it was not touched.
struct FileState {
    std::string bytes;
    timespec modified{};
    bool operator==(const FileState& other) const {
        return bytes == other.bytes && modified.tv_sec == other.modified.tv_sec &&
               modified.tv_nsec == other.modified.tv_nsec;
    }
};

FileState StateOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
    return {ReadFileText(path), info.st_mtim};
}

std::set<std::string> FolderNames(const std::string& folder) {
    std::set<std::string> names;
    DIR* dir = opendir(folder.c_str());
    while (const dirent* entry = dir != nullptr ? readdir(dir) : nullptr) {
        if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..") {
            names.insert(entry->d_name);
        }
    }
    if (dir != nullptr) {
        closedir(dir);
    }
    return names;
}

bool Exists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

bool IsCr2(const std::string& name) {
    return name.size() > 4 && strcasecmp(name.c_str() + name.size() - 4, ".cr2") == 0;
}

class RawSidecarRun : public PhotoTaggingTest {
protected:
    std::string Raw(const std::string& name, const char* digitized = kMatching) {
        const std::string path = dir.File(name);
        WriteTiffRaw(path, {{kDigitized, digitized}}, IsCr2(name));
        return path;
    }

    void Process(bool rawSidecars = true) {
        engine.SetRaw(rawSidecars);
        engine.ProcessHotFolder(dir.Path());
    }

    std::string SidecarLatitude(const std::string& name) {
        return ReadSidecar(dir.File(name))[kSidecarLatitude];
    }
};

TEST_F(RawSidecarRun, ARawAndJpegPairIsTaggedTheJpegInItselfTheRawInANewSidecar) {
    const std::string raw = Raw("IMG_1.NEF");
    WriteJpegWithExif(dir.File("IMG_1.JPG"), {{kDigitized, kMatching}});
    const FileState before = StateOf(raw);
    Process();
    EXPECT_EQ(ReadExif(dir.File("IMG_1.JPG"))["Exif.GPSInfo.GPSLatitude"], "48/1 8/1 1375/100");
    EXPECT_EQ(SidecarLatitude("IMG_1.xmp"), kTrackLatitude);
    const std::map<std::string, std::string> sidecar = ReadSidecar(dir.File("IMG_1.xmp"));
    EXPECT_EQ(sidecar.at("Xmp.exif.GPSLongitude"), "11,34.522833E");
    EXPECT_EQ(sidecar.at("Xmp.exif.GPSAltitude"), "519/1");
    EXPECT_TRUE(StateOf(raw) == before) << "the RAW file changed";
    struct stat info {};
    ASSERT_EQ(stat(dir.File("IMG_1.xmp").c_str(), &info), 0);
    const mode_t mask = umask(022);
    umask(mask);
    EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask);
}

TEST_F(RawSidecarRun, TheSidecarIsChosenAsEditorsExpect) {
    // Two RAW photos sharing a name each get NAME.EXT.xmp.
    Raw("IMG_2.CR2");
    Raw("IMG_2.ARW");
    // An existing darktable sidecar is updated, the Lightroom one beside it left alone.
    Raw("IMG_3.pef");
    WriteFileText(dir.File("IMG_3.pef.xmp"), DarktableSidecar());
    WriteFileText(dir.File("IMG_3.xmp"), "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"/>");
    const FileState lightroom = StateOf(dir.File("IMG_3.xmp"));
    // An existing NAME.xmp in another case is found and updated, no second one made.
    Raw("IMG_4.DNG");
    WriteFileText(dir.File("img_4.XMP"), "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"/>");
    Process();
    EXPECT_EQ(SidecarLatitude("IMG_2.CR2.xmp"), kTrackLatitude);
    EXPECT_EQ(SidecarLatitude("IMG_2.ARW.xmp"), kTrackLatitude);
    EXPECT_FALSE(Exists(dir.File("IMG_2.xmp")));
    const std::map<std::string, std::string> darktable = ReadSidecar(dir.File("IMG_3.pef.xmp"));
    EXPECT_EQ(darktable.at(kSidecarLatitude), kTrackLatitude);
    EXPECT_EQ(darktable.at("Xmp.xmp.Rating"), "4");
    EXPECT_EQ(darktable.at("Xmp.darktable.history[2]/darktable:operation"), "colorin");
    EXPECT_TRUE(StateOf(dir.File("IMG_3.xmp")) == lightroom);
    EXPECT_EQ(SidecarLatitude("img_4.XMP"), kTrackLatitude);
    EXPECT_FALSE(Exists(dir.File("IMG_4.xmp")));
}

TEST_F(RawSidecarRun, APositionTheSidecarHoldsIsKeptWhenAskedTo) {
    Raw("IMG_13.nef");
    const std::string kept = dir.File("IMG_13.xmp");
    WriteFileText(kept, R"(<x:xmpmeta xmlns:x="adobe:ns:meta/"><rdf:RDF
        xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#"><rdf:Description
        xmlns:exif="http://ns.adobe.com/exif/1.0/" exif:GPSLatitude="10,00.000000N"
        exif:GPSLongitude="20,00.000000E"/></rdf:RDF></x:xmpmeta>)");
    const FileState before = StateOf(kept);
    engine.SetRules(CameraClock(), false);
    Process();
    EXPECT_TRUE(StateOf(kept) == before);
    engine.SetRules(CameraClock(), true);
    Process();
    EXPECT_EQ(SidecarLatitude("IMG_13.xmp"), kTrackLatitude);
}

TEST_F(RawSidecarRun, TheSwitchOffLeavesRawPhotosUnlooked) {
    Raw("IMG_5.cr2");
    WriteJpegWithExif(dir.File("IMG_5.jpg"), {{kDigitized, kMatching}});
    Process(false);
    EXPECT_FALSE(Exists(dir.File("IMG_5.xmp")));
    const std::vector<ImageFile> listed = ListHotFolderImages(dir.Path(), false);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_FALSE(listed[0].raw);
}

TEST_F(RawSidecarRun, UnmatchedUnreadableAndUnparseableLeaveEverythingAsItWas) {
    ClosedLogAfterTest closeLog;
    TempDir logDir;
    EXPECT_TRUE(Log::Instance().Open(Debug, logDir.File("fenrik.log")).ok());
    Raw("early.nef", "2007:06:01 10:00:00");
    WriteX3fStart(dir.File("IMG_6.X3F"));
    const FileState x3f = StateOf(dir.File("IMG_6.X3F"));
    Raw("IMG_7.orf");
    WriteFileText(dir.File("IMG_7.xmp"), "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF");
    const FileState broken = StateOf(dir.File("IMG_7.xmp"));
    Process();
    EXPECT_FALSE(Exists(dir.File("early.xmp")));
    EXPECT_FALSE(Exists(dir.File("IMG_6.xmp")));
    EXPECT_TRUE(StateOf(dir.File("IMG_6.X3F")) == x3f);
    EXPECT_TRUE(StateOf(dir.File("IMG_7.xmp")) == broken);
    const std::string log = ReadFileText(logDir.File("fenrik.log"));
    const std::string unreadable = "Skipping " + dir.File("IMG_6.X3F") + ": cannot read this RAW";
    ASSERT_NE(log.find(unreadable), std::string::npos) << log;
    EXPECT_EQ(log.find(unreadable, log.find(unreadable) + 1), std::string::npos) << "twice";
    EXPECT_NE(log.find("Skipping " + dir.File("IMG_7.xmp") + ": its XMP cannot be parsed"),
              std::string::npos)
        << log;
}

TEST_F(RawSidecarRun, ASidecarThatAppearsMeanwhileIsNeverClobbered) {
    Raw("IMG_8.rw2");
    const std::string sidecar = dir.File("IMG_8.xmp");
    engine.SetWriteFaultHook([&sidecar](const std::string& step) {
        if (step == "rename") {
            WriteFileText(sidecar, "written by an editor meanwhile");
        }
        return true;
    });
    Process();
    EXPECT_EQ(ReadFileText(sidecar), "written by an editor meanwhile");
    // Only the editor's file and the RAW photo remain: no temporary is left behind.
    EXPECT_EQ(FolderNames(dir.Path()), (std::set<std::string>{"IMG_8.rw2", "IMG_8.xmp"}));
}

TEST_F(RawSidecarRun, ARunCountsRawPhotosAndSidecars) {
    Raw("IMG_9.dng");
    Raw("IMG_10.nef");
    WriteX3fStart(dir.File("IMG_11.x3f"));
    WriteJpegWithExif(dir.File("IMG_9.jpg"), {{kDigitized, kMatching}});
    EXPECT_EQ(RunSummaryText(RunPass()),
              "Last run: 4 photos checked in 1 folder; 3 tagged; 1 skipped (switch the log file "
              "on to see why); 3 RAW photos: 2 sidecars written, 1 unreadable; GPX: 1 point");
    const RunSummary off = RunPass(false);
    EXPECT_EQ(off.rawPhotos, 0u);
    EXPECT_EQ(off.photos, 1u);
}

TEST(RawFormatFixtures, EachIsReadAsItsOwnTypeWithItsCaptureTime) {
    InitialiseImageLibrary();  // reads CR3 through its ISO base media support
    TempDir dir;
    const std::pair<RawFormat, int> formats[] = {{RawFormat::Orf, Exiv2::ImageType::orf},
                                                 {RawFormat::Rw2, Exiv2::ImageType::rw2},
                                                 {RawFormat::Raf, Exiv2::ImageType::raf}};
    const std::string cr3 = dir.File("a.CR3");
    WriteCr3(cr3, kMatching);
    EXPECT_EQ(ReadFileText(cr3).substr(4, 8), "ftypcrx ");
    std::vector<std::string> paths{cr3};
    for (const auto& [format, type] : formats) {
        paths.push_back(dir.File(std::string("a.") + RawExtension(format)));
        WriteRawFile(paths.back(), format, kMatching);
        EXPECT_EQ(Exiv2::ImageFactory::getType(paths.back()), type) << paths.back();
    }
    for (const std::string& path : paths) {
        auto image = Exiv2::ImageFactory::open(path);
        image->readMetadata();
        const Exiv2::ExifData& exif = image->exifData();
        const auto digitized = exif.findKey(Exiv2::ExifKey(kDigitized));
        ASSERT_NE(digitized, exif.end()) << path;
        EXPECT_EQ(digitized->toString(), kMatching) << path;
    }
}

TEST_F(RawSidecarRun, EachFormatHasItsCaptureTimeReadAndItsSidecarWrittenItsBytesUnchanged) {
    for (const RawFormat format : {RawFormat::Orf, RawFormat::Rw2, RawFormat::Raf}) {
        const std::string name = std::string("P1000001.") + RawExtension(format);
        WriteRawFile(dir.File(name), format, kMatching);
        // Far from the track: only the capture time inside the file can match.
        SetLastWriteTime(dir.File(name), 2020, 1, 1, 0, 0, 0);
        const FileState before = StateOf(dir.File(name));
        Process();
        EXPECT_EQ(SidecarLatitude("P1000001.xmp"), kTrackLatitude) << name;
        EXPECT_TRUE(StateOf(dir.File(name)) == before) << name << " changed";
        EXPECT_EQ(FolderNames(dir.Path()), (std::set<std::string>{name, "P1000001.xmp"}));
        std::remove(dir.File(name).c_str());
        std::remove(dir.File("P1000001.xmp").c_str());
    }
}

TEST_F(RawSidecarRun, ACr3IsMatchedByItsOwnCaptureTimeAndItsEditorsSidecarUpdated) {
    const std::string cr3 = dir.File("IMG_20.CR3");
    WriteCr3(cr3, kMatching);
    SetLastWriteTime(cr3, 2020, 1, 1, 0, 0, 0);  // far from the track: only its Exif can match
    WriteFileText(dir.File("IMG_20.CR3.xmp"), DarktableSidecar());
    const FileState cr3Before = StateOf(cr3);
    const RunSummary summary = RunPass();
    EXPECT_EQ(summary.rawPhotos, 1u);
    EXPECT_EQ(summary.rawUnreadable, 0u);
    EXPECT_EQ(summary.sidecarsWritten, 1u);
    EXPECT_TRUE(StateOf(cr3) == cr3Before);
    const std::map<std::string, std::string> sidecar = ReadSidecar(dir.File("IMG_20.CR3.xmp"));
    EXPECT_EQ(sidecar.at(kSidecarLatitude), kTrackLatitude);
    EXPECT_EQ(sidecar.at("Xmp.darktable.history[2]/darktable:operation"), "colorin");
    EXPECT_EQ(FolderNames(dir.Path()), (std::set<std::string>{"IMG_20.CR3", "IMG_20.CR3.xmp"}));
}

TEST_F(RawSidecarRun, ARawFileTheLibraryTakesForAVideoIsUnreadableNotReadForever) {
    // Exiv2's QuickTime reader never returns from these bytes (a box "mdat" before "ftyp").
    const std::string hang(
        "\x00\x00\x00\x20\x6D\x64\x61\x74\x66\x74\x79\x70\x61\x41\x53\x00"
        "\x00\x00\x00\x00\x00\x6D\x69\x66\x31\x61\x76\x69\x66\x6D\x69\x61"
        "\x66\x64\x61\x74\x66\x74\x79\x70\x61\x53\x00\x00\x00\x00\x00\x00"
        "\x6D\x69\x66\x31\x61\x76\x4D\x41\x31\x42\x00\x00\xD1\x30\x6D\x65"
        "\x74\x61\x00\x00\x00\x00\x00\x00\x00\x00\x00\x07\x80\x00\x2B\x2B"
        "\x2B\x2B\x01\x00\x00\x00\x6A\x6D\x64\x40\x00\x00\x00\x00\x00\x32"
        "\x30\x31\x38\x3A\x30\x00\x00\x00\x00",
        105);
    WriteFileText(dir.File("IMG_30.CR3"), hang);
    SetLastWriteTime(dir.File("IMG_30.CR3"), 2007, 6, 1, 12, 5, 30);
    const RunSummary summary = RunPass();
    EXPECT_EQ(summary.rawUnreadable, 1u);
    EXPECT_EQ(ReadFileText(dir.File("IMG_30.CR3")), hang);
    EXPECT_EQ(FolderNames(dir.Path()), (std::set<std::string>{"IMG_30.CR3"}));
}

// What exiftool, another program, reads from a file: "-n" decimal values, one a line.
std::vector<double> ExiftoolNumbers(const std::string& path) {
    const std::string command =
        "exiftool -n -s3 -GPSLatitude -GPSLongitude -GPSAltitude '" + path + "' 2>/dev/null";
    std::vector<double> numbers;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return numbers;
    }
    double value = 0;
    while (std::fscanf(pipe, "%lf", &value) == 1) {
        numbers.push_back(value);
    }
    pclose(pipe);
    return numbers;
}

TEST_F(RawSidecarRun, AnotherProgramReadsThePositionFromTheSidecar) {
    if (std::system("exiftool -ver >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "exiftool is not installed";
    }
    engine.Track().Empty();
    engine.AddPoint(-33.856784, -151.215297, -12.4, UtcCount(2007, 6, 1, 12, 4, 50));
    Raw("IMG_12.DNG");
    Process();
    const std::vector<double> read = ExiftoolNumbers(dir.File("IMG_12.xmp"));
    ASSERT_EQ(read.size(), 3u);
    // The Exif write's resolution: hundredths of a second of arc.
    EXPECT_NEAR(read[0], -33.856784, 0.01 / 3600);
    EXPECT_NEAR(read[1], -151.215297, 0.01 / 3600);
    EXPECT_NEAR(read[2], -12, 1e-9);
}

TEST(RawStaleTemporaries, SidecarTemporariesOfAKilledRunAreRemovedAndNothingElse) {
    TempDir dir;
    const char packet[] = "<?xpacket begin=\"\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>";
    WriteFileText(dir.File(".fenrik-Ab12Cd"), packet);
    WriteFileText(dir.File(".fenrik-Ef34Gh"), "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"/>");
    WriteFileText(dir.File("IMG_1.xmp"), packet);
    // Not ours: other content, or a name of the form older versions made.
    WriteFileText(dir.File(".IMG_1.xmp.fenrik-Ij56Kl"), packet);
    WriteFileText(dir.File(".fenrik-Mn78Op"), "<?xml version=\"1.0\"?>");
    WriteFileText(dir.File(".IMG_2.xmp.fenrik-Qr90St"), packet);
    timespec later{};
    clock_gettime(CLOCK_REALTIME, &later);
    later.tv_sec += 60;
    EXPECT_EQ(RemoveStaleTemporaries(dir.Path(), later, BeginsAsWrittenPhoto), 2);
    EXPECT_FALSE(Exists(dir.File(".fenrik-Ab12Cd")));
    EXPECT_FALSE(Exists(dir.File(".fenrik-Ef34Gh")));
    EXPECT_TRUE(Exists(dir.File(".IMG_1.xmp.fenrik-Ij56Kl")));
    EXPECT_TRUE(Exists(dir.File("IMG_1.xmp")));
    EXPECT_TRUE(Exists(dir.File(".fenrik-Mn78Op")));
    EXPECT_TRUE(Exists(dir.File(".IMG_2.xmp.fenrik-Qr90St")));
}

}  // namespace
