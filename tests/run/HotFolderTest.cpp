// SPDX-License-Identifier: GPL-3.0-or-later
// Tagging the images of one hot folder, end to end with real JPEG files.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "EngineFixture.h"
#include "JpegFixtures.h"
#include "TestSupport.h"
#include "durable/TemporaryFile.h"

namespace fs = std::filesystem;

namespace {

const char kDigitized[] = "Exif.Photo.DateTimeDigitized";
const char kLat[] = "Exif.GPSInfo.GPSLatitude";
const char kLon[] = "Exif.GPSInfo.GPSLongitude";
const char kAlt[] = "Exif.GPSInfo.GPSAltitude";
const char kAltRef[] = "Exif.GPSInfo.GPSAltitudeRef";

class HotFolder : public ::testing::Test {
protected:
    void SetUp() override {
        // The worked example: camera one hour ahead of UTC, two minutes' tolerance.
        engine.settings.m_BiasInMinutes = -60;
        engine.settings.m_ToleranceHours = "0";
        engine.settings.m_ToleranceMinutes = "2";
        engine.AddPoint(48.137154, 11.575382, 519.6, UtcCount(2007, 6, 1, 12, 4, 50));
    }

    std::string Image(const std::string& name,
                      const std::string& digitized = "2007:06:01 13:05:30") {
        const std::string path = dir.File(name);
        WriteJpegWithExif(path, {{kDigitized, digitized}, {"Exif.Image.Make", "Fenrik"}});
        return path;
    }

    std::vector<std::string> LogMessages() {
        std::vector<std::string> messages;
        for (const std::string& line : SplitLines(ReadFileText(dir.File("log/fenrik.log")))) {
            // Drop the timestamp and the ten-character level prefix.
            const auto marker = line.find("]>");
            const auto prefix = marker == std::string::npos ? marker : line.rfind('[', marker);
            messages.push_back(prefix == std::string::npos ? line : line.substr(prefix + 10));
        }
        return messages;
    }

    void OpenLog() {
        fs::create_directory(dir.File("log"));
        EXPECT_TRUE(Log::Instance().Open(Debug, dir.File("log/fenrik.log")).ok());
        engine.settings.m_UseLogfile = 1;
    }

    bool HasTemporaryFiles() {
        for (const auto& entry : fs::directory_iterator(dir.Path())) {
            if (entry.path().filename().string().find(".fenrik-") != std::string::npos) {
                return true;
            }
        }
        return false;
    }

    TempDir dir;
    TestEngine engine;
    ClosedLogAfterTest closeLog;
};

TEST_F(HotFolder, WorkedExampleWritesTheExpectedTags) {
    const std::string path = Image("IMG_0001.JPG");
    engine.ProcessHotFolder(dir.Path());
    const auto tags = ReadExif(path);
    EXPECT_EQ(tags.at(kLat), "48/1 8/1 1375/100");
    EXPECT_EQ(tags.at("Exif.GPSInfo.GPSLatitudeRef"), "N");
    EXPECT_EQ(tags.at(kLon), "11/1 34/1 3137/100");
    EXPECT_EQ(tags.at("Exif.GPSInfo.GPSLongitudeRef"), "E");
    EXPECT_EQ(tags.at("Exif.GPSInfo.GPSVersionID"), "2 0 0 0");
    EXPECT_EQ(tags.at(kAlt), "519/1");
    EXPECT_EQ(tags.count(kAltRef), 0u);
    EXPECT_EQ(tags.at("Exif.Image.Make"), "Fenrik");
    EXPECT_FALSE(HasTemporaryFiles());
}

TEST_F(HotFolder, FindsJpegNamesInAnyCaseButNotSubfoldersOrDirectories) {
    const std::string upper = Image("IMG_0001.JPG");
    const std::string lower = Image("a.jpg");
    const std::string jpeg = Image("b.Jpeg");
    const std::string other = Image("c.png");
    fs::create_directory(dir.File("sub"));
    const std::string nested = Image("sub/d.jpg");
    fs::create_directory(dir.File("folder.jpg"));
    engine.ProcessHotFolder(dir.Path());
    for (const std::string& path : {upper, lower, jpeg}) {
        EXPECT_EQ(ReadExif(path).count(kLat), 1u) << path;
    }
    EXPECT_EQ(ReadExif(other).count(kLat), 0u);
    EXPECT_EQ(ReadExif(nested).count(kLat), 0u);
}

TEST_F(HotFolder, SymbolicLinkIsFollowedAndStaysALink) {
    fs::create_directory(dir.File("store"));
    const std::string target = Image("store/photo.jpg");
    fs::create_directory(dir.File("hot"));
    fs::create_symlink(target, dir.File("hot/photo.jpg"));
    engine.ProcessHotFolder(dir.File("hot"));
    EXPECT_TRUE(fs::is_symlink(dir.File("hot/photo.jpg")));
    EXPECT_EQ(ReadExif(target).count(kLat), 1u);
}

TEST_F(HotFolder, SymbolicLinkBesideItsTargetIsTaggedWithoutWaiting) {
    const std::string target = Image("photo.jpg");
    fs::create_symlink(target, dir.File("link.jpg"));
    DebugCapture capture;
    const auto start = std::chrono::steady_clock::now();
    engine.ProcessHotFolder(dir.Path());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(capture.Text().find("Skipping"), std::string::npos) << capture.Text();
    EXPECT_EQ(ReadExif(target).count(kLat), 1u);
    EXPECT_TRUE(fs::is_symlink(dir.File("link.jpg")));
}

TEST_F(HotFolder, ImageWithoutExifUsesTheLastWriteTimeAndGainsOnlyGpsTags) {
    const std::string path = dir.File("plain.jpg");
    WritePlainJpeg(path);
    SetLastWriteTime(path, 2007, 6, 1, 13, 6, 0);
    OpenLog();
    engine.ProcessHotFolder(dir.Path());
    const auto tags = ReadExif(path);
    EXPECT_EQ(tags.at(kLat), "48/1 8/1 1375/100");
    EXPECT_EQ(tags.count(kDigitized), 0u);  // no empty capture-time tag is added
    const auto messages = LogMessages();
    EXPECT_NE(std::find(messages.begin(), messages.end(), "Created new exif header"),
              messages.end());
}

TEST_F(HotFolder, ExistingGpsTagsAreReplacedAndOthersKept) {
    const std::string path = dir.File("gps.jpg");
    WriteJpegWithExif(path, {{kDigitized, "2007:06:01 13:05:30"},
                             {kLat, "1/1 2/1 3/100"},
                             {kLon, "4/1 5/1 6/100"},
                             {kAlt, "7/1"},
                             {"Exif.GPSInfo.GPSLatitudeRef", "S"},
                             {"Exif.GPSInfo.GPSMapDatum", "WGS-84"}});
    engine.ProcessHotFolder(dir.Path());
    const auto tags = ReadExif(path);
    EXPECT_EQ(tags.at(kLat), "48/1 8/1 1375/100");
    EXPECT_EQ(tags.at(kLon), "11/1 34/1 3137/100");
    EXPECT_EQ(tags.at(kAlt), "519/1");
    EXPECT_EQ(tags.at("Exif.GPSInfo.GPSLatitudeRef"), "N");
    EXPECT_EQ(tags.at("Exif.GPSInfo.GPSMapDatum"), "WGS-84");
}

TEST_F(HotFolder, PointWithoutElevationKeepsAnOlderAltitude) {
    engine.Track().Empty();
    engine.AddPoint(-33.8568, 151.2153, kNoElevation, UtcCount(2007, 6, 1, 12, 5, 30));
    const std::string path = dir.File("syd.jpg");
    WriteJpegWithExif(path, {{kDigitized, "2007:06:01 13:05:30"}, {kAlt, "7/1"}});
    OpenLog();
    engine.ProcessHotFolder(dir.Path());
    const auto tags = ReadExif(path);
    EXPECT_EQ(tags.at(kLat), "33/1 51/1 2448/100");
    EXPECT_EQ(tags.at("Exif.GPSInfo.GPSLatitudeRef"), "S");
    EXPECT_EQ(tags.at(kLon), "151/1 12/1 5508/100");
    EXPECT_EQ(tags.at(kAlt), "7/1");
    const auto messages = LogMessages();
    EXPECT_EQ(std::find(messages.begin(), messages.end(), "elevation:"), messages.end());
}

TEST_F(HotFolder, AltitudeReferenceFollowsTheSignOfTheElevation) {
    engine.Track().Empty();
    engine.AddPoint(0.0, 0.0, -12.7, UtcCount(2007, 6, 1, 12, 5, 30));
    const std::string below = Image("below.jpg");
    engine.ProcessHotFolder(dir.Path());
    auto tags = ReadExif(below);
    EXPECT_EQ(tags.at(kAlt), "12/1");
    EXPECT_EQ(tags.at(kAltRef), "1");
    EXPECT_EQ(tags.at("Exif.GPSInfo.GPSLatitudeRef"), "S");  // exactly 0 counts as south
    EXPECT_EQ(tags.at("Exif.GPSInfo.GPSLongitudeRef"), "W");

    engine.Track().Empty();
    engine.AddPoint(1.0, 1.0, 58.9, UtcCount(2007, 6, 1, 12, 5, 30));
    engine.ProcessHotFolder(dir.Path());
    tags = ReadExif(below);
    EXPECT_EQ(tags.at(kAlt), "58/1");
    EXPECT_EQ(tags.at(kAltRef), "0");
}

TEST_F(HotFolder, UnmatchedAndUndatedImagesAreNotTouched) {
    const std::string late = Image("late.jpg", "2007:06:01 18:00:00");
    const std::string zeros = Image("zeros.jpg", "0000:00:00 00:00:00");
    const std::string fourFields = Image("four.jpg", "2007:06:01 13");
    SetLastWriteTime(fourFields, 2007, 6, 1, 13, 5, 30);  // must not be used instead
    const std::string before[] = {ReadFileText(late), ReadFileText(zeros),
                                  ReadFileText(fourFields)};
    // Its access time an hour before its last change: a read would update it (relatime).
    struct stat info {};
    stat(late.c_str(), &info);
    const timespec times[2] = {{info.st_mtim.tv_sec - 3600, 0}, {0, UTIME_OMIT}};
    ASSERT_EQ(utimensat(AT_FDCWD, late.c_str(), times, 0), 0);
    OpenLog();
    engine.ProcessHotFolder(dir.Path());
    stat(late.c_str(), &info);
    EXPECT_EQ(info.st_atim.tv_sec, times[0].tv_sec);  // reading it to tag it is no access
    EXPECT_EQ(ReadFileText(late), before[0]);
    EXPECT_EQ(ReadFileText(zeros), before[1]);
    EXPECT_EQ(ReadFileText(fourFields), before[2]);
    const auto messages = LogMessages();
    EXPECT_EQ(std::count(messages.begin(), messages.end(), "No valid capture time, image skipped"),
              2);
}

TEST_F(HotFolder, BrokenFilesAreSkippedAndTheRestTagged) {
    for (const char* sample : {"corrupted.jpg", "invalid-image00971.jpg", "tests-35-empty.jpg"}) {
        CopyFile(SamplePath(std::string("jpg/") + sample), dir.File(sample));
    }
    WriteFileText(dir.File("empty.jpg"), "");
    WriteFileText(dir.File("text.jpg"), "not a picture");
    const std::string good = Image("good.jpg");
    std::map<std::string, std::string> before;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        before[entry.path().string()] = ReadFileText(entry.path().string());
    }
    OpenLog();
    DebugCapture capture;
    engine.ProcessHotFolder(dir.Path());
    EXPECT_EQ(ReadExif(good).count(kLat), 1u);
    for (const auto& [path, content] : before) {
        if (path != good && ReadFileText(path) != content) {
            // A broken file may only change when it matched and could be rewritten whole.
            EXPECT_EQ(ReadExif(path).count(kLat), 1u) << path;
        }
    }
    EXPECT_NE(capture.Text().find("Skipping " + dir.File("empty.jpg")), std::string::npos);
    EXPECT_NE(capture.Text().find("Skipping " + dir.File("text.jpg")), std::string::npos);
    const auto messages = LogMessages();
    EXPECT_TRUE(std::any_of(messages.begin(), messages.end(),
                            [](const std::string& m) { return m.find("Skipping ") == 0; }));
}

TEST_F(HotFolder, FailedWriteLeavesTheOriginalByteForByte) {
    const std::string path = Image("photo.jpg");
    const bool root = geteuid() == 0;
    if (root) {  // so that the owner and attribute steps take place too
        EXPECT_EQ(chown(path.c_str(), 65534, 65534), 0);
        EXPECT_EQ(setxattr(path.c_str(), "user.rating", "5", 1, 0), 0);
        const int fd = open(path.c_str(), O_RDONLY);  // a file flag to carry over: no dump
        int flags = 0;
        EXPECT_EQ(ioctl(fd, FS_IOC_GETFLAGS, &flags), 0);
        flags |= FS_NODUMP_FL;
        EXPECT_EQ(ioctl(fd, FS_IOC_SETFLAGS, &flags), 0);
        close(fd);
    }
    const std::string original = ReadFileText(path);
    for (const bool unnamed : {true, false}) {
        for (const char* step : {"create", "flags", "write", "copy", "owner", "xattr", "chmod",
                                 "sync", "link", "rename"}) {
            if (!root && (std::string(step) == "owner" || std::string(step) == "xattr" ||
                          std::string(step) == "flags")) {
                continue;
            }
            if (!unnamed && std::string(step) == "link") {
                continue;
            }
            int calls = 0;
            engine.SetWriteFaultHook([step, unnamed, &calls](const std::string& s) {
                calls += s == step ? 1 : 0;
                if (s == step || (s == "unnamed" && (!unnamed || std::string(step) == "create"))) {
                    errno = EIO;
                    return false;
                }
                return true;
            });
            DebugCapture capture;
            engine.ProcessHotFolder(dir.Path());
            EXPECT_EQ(calls, 1) << step;
            EXPECT_EQ(ReadFileText(path), original) << step;
            EXPECT_FALSE(HasTemporaryFiles()) << step;
            EXPECT_NE(capture.Text().find("Skipping " + path + ": "), std::string::npos) << step;
        }
    }
    engine.SetWriteFaultHook(nullptr);
    chmod(path.c_str(), 0640);
    engine.ProcessHotFolder(dir.Path());
    EXPECT_EQ(ReadExif(path).count(kLat), 1u);
    struct stat info {};
    stat(path.c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0640u);  // permission bits survive the replacement
}

// A small file system of its own (a tmpfs), when this process may mount one; unmounted at the end.
class SmallFileSystem {
public:
    explicit SmallFileSystem(const std::string& path) : m_Path(path) {
        fs::create_directories(path);
        m_Mounted = mount("tmpfs", path.c_str(), "tmpfs", 0, "size=256k") == 0;
    }
    ~SmallFileSystem() {
        if (m_Mounted) {
            umount2(m_Path.c_str(), MNT_DETACH);
        }
    }
    bool Mounted() const { return m_Mounted; }
    // Fills the remaining space with one file.
    void Fill() const {
        std::FILE* filler = std::fopen((m_Path + "/filler").c_str(), "wb");
        const std::string block(4096, 'x');
        while (filler != nullptr &&
               std::fwrite(block.data(), 1, block.size(), filler) == block.size() &&
               std::fflush(filler) == 0) {
        }
        if (filler != nullptr) {
            std::fclose(filler);
        }
    }
    // Fills the space until only about `leave` bytes remain.
    void FillLeaving(uint64_t leave) const {
        struct statvfs info {};
        statvfs(m_Path.c_str(), &info);
        const uint64_t free = static_cast<uint64_t>(info.f_bavail) * info.f_frsize;
        WriteFileText(m_Path + "/filler", std::string(free > leave ? free - leave : 0, 'x'));
    }
    void RemountReadOnly() const {
        mount("tmpfs", m_Path.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=256k");
    }

private:
    std::string m_Path;
    bool m_Mounted = false;
};

TEST_F(HotFolder, FullOrReadOnlyFileSystemLeavesImagesIntact) {
    SmallFileSystem small(dir.File("small"));
    if (!small.Mounted()) {
        GTEST_SKIP() << "cannot mount a small file system here";
    }
    const std::string path = Image("small/photo.jpg");
    const std::string original = ReadFileText(path);
    small.Fill();
    engine.ProcessHotFolder(dir.File("small"));
    EXPECT_EQ(ReadFileText(path), original);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("small")), fs::directory_iterator()),
              2);

    fs::remove(dir.File("small/filler"));
    small.RemountReadOnly();
    engine.ProcessHotFolder(dir.File("small"));
    EXPECT_EQ(ReadFileText(path), original);
}

TEST_F(HotFolder, DiskFillingUpDuringABatchLeavesEachImageWholeOrTagged) {
    SmallFileSystem small(dir.File("small"));
    if (!small.Mounted()) {
        GTEST_SKIP() << "cannot mount a small file system here";
    }
    // More photos than the write threads make at once: those in hand when the disk is found
    // full are made again in turn, once the batch has given back its originals' space.
    constexpr int kPhotos = 12;
    std::map<std::string, std::string> originals;
    for (int i = 0; i < kPhotos; ++i) {
        const std::string path = Image("small/photo" + std::to_string(i) + ".jpg");
        WriteFileText(path, ReadFileText(path) + std::string(8000, 'b'));  // bulk after the image
        originals[path] = ReadFileText(path);
    }
    // Room for two new files of a batch, not all, and for what each new file adds (its header
    // grows by up to a block, so that the image data keeps its place within a block).
    small.FillLeaving(2 * (originals.begin()->second.size() + 4096) + kPhotos * 4096);
    DebugCapture capture;
    engine.ProcessHotFolder(dir.File("small"));
    int taggedCount = 0;
    for (const auto& [path, content] : originals) {
        if (ReadFileText(path) != content) {
            EXPECT_EQ(ReadExif(path).count(kLat), 1u) << path;
            ++taggedCount;
        }
    }
    // Each time the disk is full the batch is put in place, its originals' space comes back,
    // and the photo is tried again: every photo is tagged in one run.
    EXPECT_EQ(taggedCount, kPhotos);
    EXPECT_EQ(capture.Text().find("Skipping "), std::string::npos) << capture.Text();
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("small")), fs::directory_iterator()),
              kPhotos + 1);  // the photos and the filler: no temporary file
}

TEST_F(HotFolder, APhotoThatDoesNotFitIsTriedOnceMoreAndReportedOnce) {
    const std::string path = Image("photo.jpg");
    const std::string original = ReadFileText(path);
    for (const char* step : {"create", "write", "copy", "chmod"}) {
        int calls = 0;
        engine.SetWriteFaultHook([step, &calls](const std::string& s) {
            calls += s == step ? 1 : 0;
            if (s == step || (s == "unnamed" && std::string(step) == "create")) {
                errno = ENOSPC;
                return false;
            }
            return true;
        });
        DebugCapture capture;
        engine.ProcessHotFolder(dir.Path());
        EXPECT_EQ(calls, 2) << step;
        EXPECT_EQ(ReadFileText(path), original) << step;
        EXPECT_FALSE(HasTemporaryFiles()) << step;
        const std::string skip = "Skipping " + path + ": ";
        const size_t first = capture.Text().find(skip);
        EXPECT_NE(first, std::string::npos) << step;
        EXPECT_EQ(capture.Text().find(skip, first + 1), std::string::npos) << step;
    }
}

TEST_F(HotFolder, ReadOnlyFolderLeavesImagesIntact) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind the superuser";
    }
    const std::string path = Image("photo.jpg");
    const std::string original = ReadFileText(path);
    chmod(dir.Path().c_str(), 0555);
    engine.ProcessHotFolder(dir.Path());
    chmod(dir.Path().c_str(), 0755);
    EXPECT_EQ(ReadFileText(path), original);
}

TEST_F(HotFolder, LogLinesOfATaggedImage) {
    const std::string path = Image("photo.jpg");
    OpenLog();
    DebugCapture capture;
    engine.ProcessHotFolder(dir.Path());
    const std::vector<std::string> expected = {"ProcessHotFolder:",
                                               dir.Path(),
                                               "Checking :" + path,
                                               "Reading Exif.Photo.DateTimeDigitized",
                                               "2007:06:01 13:05:30",
                                               "Checking for match with timestamp:",
                                               "2007:6:1T13:4:50",
                                               "",
                                               "Match!",
                                               "Capture time read at +01:00, clock correction "
                                               "none; the matched point is 40 s earlier",
                                               "Found best match, tagging image with:",
                                               "longitude:",
                                               "11.575382",
                                               "latitude:",
                                               "48.137154",
                                               "elevation:",
                                               "519/1"};
    EXPECT_EQ(LogMessages(), expected);
    EXPECT_NE(capture.Text().find("Checking " + path + "\n"), std::string::npos);
}

TEST_F(HotFolder, LoggingOffWritesNoLinesButStillTraces) {
    const std::string path = Image("photo.jpg");
    engine.settings.m_UseLogfile = 0;
    DebugCapture capture;
    engine.ProcessHotFolder(dir.Path());
    EXPECT_EQ(ReadExif(path).count(kLat), 1u);
    EXPECT_EQ(capture.Text(), "Checking " + path + "\n");
}

TEST_F(HotFolder, EmptyFolderTextIsNotSearched) {
    OpenLog();
    DebugCapture capture;
    engine.ProcessHotFolder("");
    EXPECT_EQ(LogMessages(), (std::vector<std::string>{"ProcessHotFolder:", ""}));
    EXPECT_EQ(capture.Text().find("Checking"), std::string::npos);
}

TEST_F(HotFolder, StopRequestEndsBetweenImages) {
    const std::string a = Image("a.jpg");
    const std::string b = Image("b.jpg");
    engine.RequestStop();
    engine.ProcessHotFolder(dir.Path());
    EXPECT_EQ(ReadExif(a).count(kLat) + ReadExif(b).count(kLat), 0u);
}

}  // namespace
