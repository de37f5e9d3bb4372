// SPDX-License-Identifier: GPL-3.0-or-later
// A tagging run that is killed, stopped or runs out of disk space: every photo is its original
// or the complete tagged file at every moment, and nothing is left behind by the next run.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <stdexcept>

#include "EngineFixture.h"
#include "JpegFixtures.h"
#include "TestSupport.h"
#include "durable/ReplacementBatch.h"
#include "durable/TemporaryFile.h"
#include "photo/PhotoSource.h"

namespace fs = std::filesystem;

namespace {

// Photos with some bulk after their image data, so that writing one takes a moment.
std::map<std::string, std::string> MakePhotos(const std::string& folder, int count) {
    std::mt19937 random(11);
    std::map<std::string, std::string> photos;
    for (int i = 0; i < count; ++i) {
        const std::string path = folder + "/IMG_" + std::to_string(100 + i) + ".jpg";
        WriteJpegWithExif(path, {{"Exif.Photo.DateTimeDigitized", "2007:06:01 12:05:30"}});
        std::string bulk(150000, '\0');
        for (char& c : bulk) {
            c = static_cast<char>(random());
        }
        photos[path] = ReadFileText(path) + bulk;
        WriteFileText(path, photos[path]);
    }
    return photos;
}

std::vector<std::string> Leftovers(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (!fs::is_regular_file(entry.path()) || entry.path().extension() != ".jpg") {
            names.push_back(entry.path().filename().string());
        }
    }
    return names;
}

class InterruptedWrite : public PhotoTaggingTest {
protected:
    // The tagged form of each photo, made in a folder of its own; also times that run.
    std::map<std::string, std::string> TaggedForms(const std::map<std::string, std::string>& photos,
                                                   double& seconds) {
        TempDir reference;
        for (const auto& [path, content] : photos) {
            WriteFileText(reference.Path() + "/" + fs::path(path).filename().string(), content);
        }
        const auto start = std::chrono::steady_clock::now();
        engine.ProcessHotFolder(reference.Path());
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::map<std::string, std::string> tagged;
        for (const auto& [path, content] : photos) {
            tagged[path] =
                ReadFileText(reference.Path() + "/" + fs::path(path).filename().string());
            EXPECT_NE(tagged[path], content);
        }
        return tagged;
    }
};

TEST_F(InterruptedWrite, KilledRunsLeaveEachPhotoWholeAndTheNextRunLeavesNothingBehind) {
    const auto photos = MakePhotos(dir.Path(), 24);
    double seconds = 0.0;
    const auto tagged = TaggedForms(photos, seconds);
    std::mt19937 random(std::random_device{}());
    int mixed = 0;
    for (int round = 0; round < 30; ++round) {
        for (const auto& [path, content] : photos) {
            WriteFileText(path, content);
        }
        const bool named = round % 2 == 1;  // as on a file system without unnamed files
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (named) {
                engine.SetWriteFaultHook([](const std::string& step) {
                    errno = EOPNOTSUPP;
                    return step != "unnamed";
                });
            }
            engine.SetLimits(BatchLimits{3, uint64_t{1} << 30, std::chrono::hours(1)});
            engine.ProcessHotFolder(dir.Path());
            _exit(0);
        }
        std::uniform_int_distribution<int> moment(0, static_cast<int>(seconds * 1.5e6) + 2000);
        usleep(static_cast<useconds_t>(moment(random)));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        int tagCount = 0;
        for (const auto& [path, content] : photos) {
            const std::string now = ReadFileText(path);
            EXPECT_TRUE(now == content || now == tagged.at(path)) << path << " in round " << round;
            tagCount += now == tagged.at(path) ? 1 : 0;
        }
        mixed += tagCount > 0 && tagCount < static_cast<int>(photos.size()) ? 1 : 0;
    }
    std::printf("%d of 30 kills left some photos tagged and others not\n", mixed);
    engine.ProcessHotFolder(dir.Path());
    for (const auto& [path, content] : photos) {
        EXPECT_EQ(ReadFileText(path), tagged.at(path)) << path;
    }
    EXPECT_EQ(Leftovers(dir.Path()), std::vector<std::string>());
}

TEST_F(InterruptedWrite, StopRequestFinishesTheImagesInHandAndTouchesNoMore) {
    const auto photos = MakePhotos(dir.Path(), 12);
    double seconds = 0.0;
    const auto tagged = TaggedForms(photos, seconds);
    // With write threads, the run reads up to four images ahead of the oldest one in hand.
    for (const auto& [threads, most] : {std::pair<size_t, int>{0, 3}, {2, 3 + 4}}) {
        for (const auto& [path, content] : photos) {
            WriteFileText(path, content);
        }
        engine.SetWriteThreads(threads);
        int written = 0;
        engine.SetWriteFaultHook([&](const std::string& step) {
            if (step == "write" && ++written == 3) {
                engine.RequestStop();  // as closing the window does, while the third is written
            }
            return true;
        });
        engine.ProcessHotFolder(dir.Path());
        engine.ClearStopRequest();
        int tagCount = 0;
        for (const auto& [path, content] : photos) {
            const std::string now = ReadFileText(path);
            EXPECT_TRUE(now == content || now == tagged.at(path)) << path;
            tagCount += now == tagged.at(path) ? 1 : 0;
        }
        EXPECT_GE(tagCount, 3) << threads;
        EXPECT_LE(tagCount, most) << threads;
        EXPECT_EQ(Leftovers(dir.Path()), std::vector<std::string>());
    }
}

TEST(ReplacementBatchLimits, DueAtTheFirstBoundReached) {
    TempDir dir;
    const auto pending = [&dir](size_t bytes) {
        PendingReplacement replacement;
        std::string error;
        EXPECT_TRUE(replacement.file.Create(dir.Path(), error)) << error;
        const std::string content(bytes, 'x');
        EXPECT_TRUE(replacement.file.Append(reinterpret_cast<const unsigned char*>(content.data()),
                                            content.size(), error));
        return replacement;
    };
    ReplacementBatch byCount(BatchLimits{3, 1000000, std::chrono::hours(1)});
    EXPECT_FALSE(byCount.IsDue());
    byCount.Add(pending(10));
    byCount.Add(pending(10));
    EXPECT_FALSE(byCount.IsDue());
    byCount.Add(pending(10));
    EXPECT_TRUE(byCount.IsDue());

    ReplacementBatch byBytes(BatchLimits{100, 1000, std::chrono::hours(1)});
    byBytes.Add(pending(600));
    EXPECT_FALSE(byBytes.IsDue());
    byBytes.Add(pending(600));
    EXPECT_TRUE(byBytes.IsDue());

    ReplacementBatch byAge(BatchLimits{100, 1000000, std::chrono::milliseconds(30)});
    byAge.Add(pending(10));
    EXPECT_FALSE(byAge.IsDue());
    usleep(40000);
    EXPECT_TRUE(byAge.IsDue());
    byAge.Abandon();
    EXPECT_FALSE(byAge.IsDue());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 0);
}

// The replacement of the file at `path` by `content` followed by whatever of the file lies
// after its header (nothing, for a file that is no JPEG).
PendingReplacement Prepared(const std::string& path, const std::string& content,
                            const WriteFaults& faults) {
    PhotoSource photo;
    PendingReplacement pending;
    std::string error;
    EXPECT_TRUE(OpenPhoto(path, photo, error)) << error;
    EXPECT_EQ(
        PrepareReplacement(path, photo, reinterpret_cast<const unsigned char*>(content.data()),
                           content.size(), pending, error, &faults),
        Preparation::Ready)
        << error;
    return pending;
}

struct stat StatOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0);
    return info;
}

TEST(ReplacementBatchInBackground, HoldsItsPhotosUntilFinishedAndReportsWhatItLeftNextTime) {
    TempDir dir;
    const std::string a = dir.File("a.jpg");
    const std::string b = dir.File("b.jpg");
    WriteFileText(a, "original a");
    WriteFileText(b, "original b");
    const struct stat aBefore = StatOf(a);
    int flushes = 0;
    WriteFaults faults;
    faults.SetHook([&](const std::string& step) {
        return step != "sync" || ++flushes != 1;  // a's new file cannot be flushed
    });
    ReplacementBatch batch;
    batch.Add(Prepared(a, "new a", faults));
    EXPECT_TRUE(batch.CommitInBackground().empty());
    EXPECT_TRUE(batch.IsEmpty());
    EXPECT_TRUE(batch.Holds(aBefore));  // opening it again now would break the commit's lease
    batch.Add(Prepared(b, "new b", faults));
    const std::vector<NotReplaced> left = batch.CommitInBackground();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].path, a);
    EXPECT_FALSE(batch.Holds(aBefore));
    EXPECT_TRUE(batch.Commit().empty());
    EXPECT_EQ(ReadFileText(a), "original a");
    EXPECT_EQ(ReadFileText(b), "new b");
    EXPECT_EQ(Leftovers(dir.Path()).size(), 0u);
}

TEST(ReplacementBatchInBackground, AStepThatThrowsLeavesEveryPhotoNotYetReplacedAsItWas) {
    TempDir dir;
    const std::vector<std::string> photos = {dir.File("a.jpg"), dir.File("b.jpg"),
                                             dir.File("c.jpg"), dir.File("d.jpg")};
    WriteFaults faults;  // before the batch, whose files ask it until they are gone
    ReplacementBatch batch;
    for (const std::string& path : photos) {
        WriteFileText(path, "original");
        batch.Add(Prepared(path, "new", faults));
    }
    WriteFileText(dir.File("b.part"), "another program's");  // which then replaces b
    ASSERT_EQ(rename(dir.File("b.part").c_str(), photos[1].c_str()), 0);
    int renames = 0;
    faults.SetHook([&](const std::string& step) {
        if (step == "rename" && ++renames == 2) {  // c's
            throw std::runtime_error("the disk went away");
        }
        return true;
    });
    EXPECT_TRUE(batch.CommitInBackground().empty());  // on a thread of its own: nothing escapes
    const std::vector<NotReplaced> left = batch.Commit();
    ASSERT_EQ(left.size(), 3u);
    EXPECT_EQ(left[0].path, photos[1]);
    EXPECT_NE(left[0].reason.find("it changed"), std::string::npos) << left[0].reason;
    EXPECT_EQ(left[1].path, photos[2]);
    EXPECT_EQ(left[1].reason, "the disk went away");
    EXPECT_EQ(left[2].path, photos[3]);
    EXPECT_EQ(left[2].reason, "the disk went away");
    EXPECT_EQ(ReadFileText(photos[0]), "new");
    EXPECT_EQ(ReadFileText(photos[1]), "another program's");
    EXPECT_EQ(ReadFileText(photos[2]), "original");
    EXPECT_EQ(ReadFileText(photos[3]), "original");
    EXPECT_EQ(Leftovers(dir.Path()).size(), 0u);
}

TEST(StaleTemporaries, OnlyThisProgramsOwnFilesOlderThanTheRunAreRemoved) {
    TempDir dir;
    const std::string jpeg = "\xFF\xD8\xFF\xE1 partial";
    WriteFileText(dir.File("IMG_0001.JPG"), jpeg);
    const std::vector<std::string> ours = {".fenrik-Ab3dE9", ".fenrik-Zz0000",
                                           ".IMG_0001.JPG.fenrik-x1Y2z3"};
    // Names of our form that hold something else, or whose photo is not there.
    const std::vector<std::string> notOurContent = {".fenrik-backup", ".notes.fenrik-backup",
                                                    ".gone.jpg.fenrik-x1Y2z3"};
    const std::vector<std::string> others = {
        ".fenrik-Ab3d",   ".fenrik-Ab3dE9x", "fenrik-Ab3dE9",   "..fenrik-Ab3dE9",
        ".fenrik-Ab3dE!", "a.fenrik-Ab3dE9", ".IMG.fenrik-abc", ".photo.jpg.fenrik-1"};
    for (const std::string& name : ours) {
        EXPECT_TRUE(IsTemporaryName(name)) << name;
        WriteFileText(dir.File(name), name == ".fenrik-Zz0000" ? "" : jpeg);
    }
    WriteFileText(dir.File(".fenrik-backup"), "my notes");
    WriteFileText(dir.File(".notes.fenrik-backup"), jpeg);
    WriteFileText(dir.File(".gone.jpg.fenrik-x1Y2z3"), jpeg);
    for (const std::string& name : others) {
        EXPECT_FALSE(IsTemporaryName(name)) << name;
        WriteFileText(dir.File(name), jpeg);
    }
    fs::create_directory(dir.File(".fenrik-Dir123"));  // a folder is never ours
    timespec before{};
    timespec after{};
    clock_gettime(CLOCK_REALTIME, &after);
    after.tv_sec += 2;
    EXPECT_EQ(RemoveStaleTemporaries(dir.Path(), before), 0);  // all newer than that
    EXPECT_EQ(RemoveStaleTemporaries(dir.Path(), after), 3);
    for (const std::string& name : ours) {
        EXPECT_FALSE(fs::exists(dir.File(name))) << name;
    }
    for (const auto* names : {&notOurContent, &others}) {
        for (const std::string& name : *names) {
            EXPECT_TRUE(fs::exists(dir.File(name))) << name;
        }
    }
    EXPECT_TRUE(fs::exists(dir.File("IMG_0001.JPG")));
    EXPECT_TRUE(fs::is_directory(dir.File(".fenrik-Dir123")));
}

}  // namespace

TEST(ReplacementBatchFlush, OneFlushOfTheFileSystemServesTheBatchAndAFailedOneEachFileAlone) {
    TempDir dir;
    const std::vector<std::string> photos = {dir.File("a.jpg"), dir.File("b.jpg"),
                                             dir.File("c.jpg")};
    int fileSystemFlushes = 0;
    int fileFlushes = 0;
    bool fileSystemFails = false;
    WriteFaults faults;
    faults.SetHook([&](const std::string& step) {
        fileSystemFlushes += step == "syncfs" ? 1 : 0;
        fileFlushes += step == "sync" ? 1 : 0;
        if (step == "syncfs" && fileSystemFails) {
            errno = EIO;
            return false;
        }
        return true;
    });
    for (const bool fails : {false, true}) {
        fileSystemFails = fails;
        fileSystemFlushes = fileFlushes = 0;
        ReplacementBatch batch;
        for (const std::string& path : photos) {
            WriteFileText(path, "original");
            batch.Add(Prepared(path, "new", faults));
        }
        EXPECT_TRUE(batch.Commit().empty()) << fails;
        EXPECT_EQ(fileSystemFlushes, 1) << fails;
        // Each file is asked once, and once more when it is flushed alone.
        EXPECT_EQ(fileFlushes, fails ? 6 : 3) << fails;
        for (const std::string& path : photos) {
            EXPECT_EQ(ReadFileText(path), "new") << fails;
        }
    }
}
