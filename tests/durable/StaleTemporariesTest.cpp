// SPDX-License-Identifier: GPL-3.0-or-later
// The cleanup of a killed run's temporary files: only this program's exact name form, older
// than the run, unlocked, with content it writes.
#include "durable/StaleTemporaries.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"
#include "durable/TemporaryFile.h"
#include "durable/TemporaryName.h"
#include "platform/UniqueFd.h"

namespace fs = std::filesystem;

namespace {

bool BeginsAsJpeg(std::string_view start) {
    return start.substr(0, 3) == "\xFF\xD8\xFF";
}

timespec Later() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    now.tv_sec += 2;
    return now;
}

TEST(StaleTemporaries, OnlyThisProgramsOwnUnlockedFilesOlderThanTheRunAreRemoved) {
    TempDir dir;
    const std::string jpeg = "\xFF\xD8\xFF\xE1 partial";
    const std::vector<std::string> ours = {".fenrik-Ab3dE9", ".fenrik-Zz0000"};
    // Look-alikes that survive whatever they hold: the form older versions made, a user's
    // backup, and names one letter off.
    const std::vector<std::string> lookAlikes = {".IMG_0001.JPG.fenrik-x1Y2z3",
                                                 ".IMG_2.jpg.fenrik-backup",
                                                 ".notes.fenrik-backup",
                                                 ".fenrik-Ab3d",
                                                 ".fenrik-Ab3dE9x",
                                                 "fenrik-Ab3dE9",
                                                 "..fenrik-Ab3dE9",
                                                 ".fenrik-Ab3dE!",
                                                 "a.fenrik-Ab3dE9"};
    for (const std::string& name : ours) {
        EXPECT_TRUE(IsTemporaryName(name)) << name;
        WriteFileText(dir.File(name), name == ".fenrik-Zz0000" ? "" : jpeg);
    }
    for (const std::string& name : lookAlikes) {
        EXPECT_FALSE(IsTemporaryName(name)) << name;
        WriteFileText(dir.File(name), jpeg);
    }
    WriteFileText(dir.File(".fenrik-backup"), "my notes");  // our form, not our content
    WriteFileText(dir.File(".fenrik-Locked"), jpeg);        // a live run's
    const UniqueFd live(open(dir.File(".fenrik-Locked").c_str(), O_RDONLY | O_CLOEXEC));
    ASSERT_TRUE(LockAsOurs(live.Get()));
    fs::create_directory(dir.File(".fenrik-Dir123"));  // a folder is never ours

    EXPECT_EQ(RemoveStaleTemporaries(dir.Path(), timespec{}, BeginsAsJpeg), 0);  // all newer
    EXPECT_EQ(RemoveStaleTemporaries(dir.Path(), Later(), BeginsAsJpeg), 2);
    for (const std::string& name : ours) {
        EXPECT_FALSE(fs::exists(dir.File(name))) << name;
    }
    for (const std::string& name : lookAlikes) {
        EXPECT_TRUE(fs::exists(dir.File(name))) << name;
    }
    EXPECT_TRUE(fs::exists(dir.File(".fenrik-backup")));
    EXPECT_TRUE(fs::exists(dir.File(".fenrik-Locked")));
    EXPECT_TRUE(fs::is_directory(dir.File(".fenrik-Dir123")));
}

// A temporary file holds its lock from its making: one that has a name while it is prepared (on
// a file system without unnamed files) survives another run's cleanup.
TEST(StaleTemporaries, ALiveTemporaryFileIsNeverAnotherRunsToRemove) {
    TempDir dir;
    WriteFaults named;
    named.SetHook([](const std::string& step) { return step != "unnamed"; });
    TemporaryFile file;
    ASSERT_TRUE(file.Create(dir.Path(), &named).ok());
    const std::string jpeg = "\xFF\xD8\xFF";
    ASSERT_TRUE(file.Append(reinterpret_cast<const unsigned char*>(jpeg.data()), 3).ok());
    EXPECT_EQ(RemoveStaleTemporaries(dir.Path(), Later(), BeginsAsJpeg), 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST(TemporaryName, EveryNewNameIsOfTheFormTheCleanupKnows) {
    for (int i = 0; i < 100; ++i) {
        const std::string name = RandomTemporaryName();
        EXPECT_TRUE(IsTemporaryName(name)) << name;
    }
}

}  // namespace
