// SPDX-License-Identifier: GPL-3.0-or-later
// A whole small file written so that it is either as it was or complete.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "TestSupport.h"
#include "durable/WholeFile.h"

TEST(WriteWholeFile, ANewFileAndAReplacedOneAreWholeWithNothingLeftBeside) {
    TempDir dir;
    const std::string path = dir.File("photos.gpx");
    ASSERT_TRUE(WriteWholeFile(path, "first").ok());
    EXPECT_EQ(ReadFileText(path), "first");
    const mode_t mask = umask(0);
    umask(mask);
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask);

    ASSERT_TRUE(WriteWholeFile(path, std::string(100000, 'x')).ok());
    EXPECT_EQ(ReadFileText(path), std::string(100000, 'x'));
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1u);
}

TEST(WriteWholeFile, AFolderThatCannotTakeItIsAnErrorAndTheOldFileStays) {
    TempDir dir;
    const Status missing = WriteWholeFile(dir.File("no/such/folder/x.gpx"), "text");
    EXPECT_FALSE(missing.ok());
    EXPECT_FALSE(missing.message().empty());
    // A path that names a folder, empty or not, or a link is not replaced, nor hidden.
    std::filesystem::create_directories(dir.File("taken/full"));
    std::filesystem::create_directory(dir.File("empty"));
    WriteFileText(dir.File("taken/photo.jpg"), "kept");
    std::filesystem::create_symlink(dir.File("taken/photo.jpg"), dir.File("link"));
    for (const char* name : {"taken", "empty", "link"}) {
        const Status refused = WriteWholeFile(dir.File(name), "text");
        EXPECT_FALSE(refused.ok()) << name;
        EXPECT_NE(refused.message().find("is not a file"), std::string::npos) << refused.message();
    }
    EXPECT_EQ(ReadFileText(dir.File("taken/photo.jpg")), "kept");
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("empty")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link")));
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 3u);  // nothing hidden under another name
}
