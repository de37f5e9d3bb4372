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
    std::mt19937_64 random(TestSeed());
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

}  // namespace
