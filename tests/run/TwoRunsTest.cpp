// SPDX-License-Identifier: GPL-3.0-or-later
// Two runs over one folder at once, as from cron while the window also runs: the second leaves
// the folder to the first, and removes none of its files.
#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

#include "EngineFixture.h"
#include "JpegFixtures.h"
#include "durable/StaleTemporaries.h"
#include "photo/WrittenContent.h"

namespace fs = std::filesystem;

namespace {

constexpr int kPhotos = 6;

class TwoRuns : public PhotoTaggingTest {
protected:
    void Photos(const std::string& folder) {
        fs::create_directories(folder);
        for (int i = 0; i < kPhotos; ++i) {
            WriteJpegWithExif(folder + "/IMG_" + std::to_string(i) + ".jpg",
                              {{"Exif.Photo.DateTimeDigitized", "2007:06:01 12:05:30"}});
        }
    }
    // The engine of a run in batches of two, with its points, tagging `folder`.
    RunSummary TagAlone(const std::string& folder) {
        TestEngine alone;
        alone.settings = engine.settings;
        alone.SetLimits(BatchLimits{2, uint64_t{1} << 30, std::chrono::hours(1)});
        alone.AddPoint(48.137154, 11.575382, 519.6, UtcCount(2007, 6, 1, 12, 4, 50));
        return alone.ProcessHotFolder(folder);
    }
    std::vector<std::string> Temporaries(const std::string& folder) {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.path().filename().string().rfind(".fenrik-", 0) == 0) {
                names.push_back(entry.path().filename().string());
            }
        }
        return names;
    }
};

// The first run paused while a new file is made, right after its first swap (as found), and
// while the batch settles; each time a second run and a cleanup from elsewhere come.
TEST_F(TwoRuns, ASecondRunAtAnyMomentOfTheFirstChangesNothingOfTheFirsts) {
    const std::string alone = dir.File("alone");
    Photos(alone);
    const RunSummary expected = TagAlone(alone);
    engine.SetLimits(BatchLimits{2, uint64_t{1} << 30, std::chrono::hours(1)});
    for (const char* moment : {"write", "recheck", "settle"}) {
        SCOPED_TRACE(moment);
        const std::string shared = dir.File(std::string("shared-") + moment);
        Photos(shared);
        std::mutex mutex;
        std::condition_variable changed;
        bool paused = false;
        bool resume = false;
        engine.SetWriteFaultHook([&](const std::string& step) {
            if (step == moment) {
                std::unique_lock<std::mutex> lock(mutex);
                if (!paused) {
                    paused = true;
                    changed.notify_all();
                    changed.wait(lock, [&] { return resume; });
                }
            }
            return true;
        });
        RunSummary first;
        std::thread firstRun([&] { first = engine.ProcessHotFolder(shared); });
        {
            std::unique_lock<std::mutex> lock(mutex);
            ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(30), [&] { return paused; }));
        }
        const std::vector<std::string> held = Temporaries(shared);

        // A second run over the folder, and a cleanup reaching it from elsewhere.
        RunSummary second = TagAlone(shared);
        second.folders = 1;  // as a whole run's listing counts it
        timespec later{};
        clock_gettime(CLOCK_REALTIME, &later);
        later.tv_sec += 60;
        EXPECT_EQ(RemoveStaleTemporaries(shared, later, BeginsAsWrittenPhoto), 0);
        EXPECT_EQ(Temporaries(shared), held);
        EXPECT_EQ(second.foldersBusy, 1);
        EXPECT_EQ(second.tagged, 0u);
        EXPECT_NE(RunSummaryText(second).find("1 folder left to another run"), std::string::npos)
            << RunSummaryText(second);
        EXPECT_TRUE(RunReportedErrors(second));  // the command line exits 1

        {
            std::lock_guard<std::mutex> lock(mutex);
            resume = true;
        }
        changed.notify_all();
        firstRun.join();
        engine.SetWriteFaultHook(nullptr);
        EXPECT_EQ(RunSummaryText(first), RunSummaryText(expected));
        EXPECT_EQ(first.tagged, static_cast<uint64_t>(kPhotos));
        EXPECT_EQ(first.skipped, 0u);
        EXPECT_TRUE(Temporaries(shared).empty());
        for (const auto& entry : fs::directory_iterator(shared)) {
            EXPECT_EQ(ReadExif(entry.path().string()).count("Exif.GPSInfo.GPSLatitude"), 1u)
                << entry.path();
        }
    }
}

}  // namespace
