// SPDX-License-Identifier: GPL-3.0-or-later
// The per-user profile: defaults, round trips, tolerance of foreign content, durability.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "TestSupport.h"
#include "settings/ProfileStore.h"
#include "settings/SettingKeys.h"

namespace {

TEST(ProfileStore, EmptyProfileReadsEveryDefaultAndCreatesNoFile) {
    TempDir dir;
    const std::string path = dir.File("Quillbay/fenrik.conf");
    ProfileStore store(path);
    for (const SettingInfo& setting : kAllSettings) {
        SCOPED_TRACE(setting.key);
        if (setting.kind == SettingKind::Integer) {
            EXPECT_EQ(store.GetProfileInt(kSettingsSection, setting.key, setting.defaultInteger),
                      setting.defaultInteger);
        } else {
            EXPECT_EQ(store.GetProfileString(kSettingsSection, setting.key, nullptr), "");
        }
    }
    EXPECT_EQ(store.GetProfileInt(kSettingsSection, kTZIndex, -1), -1);
    EXPECT_EQ(store.GetProfileString(kSettingsSection, kDevice, "x"), "x");
    EXPECT_EQ(std::size(kAllSettings), 26u);  // with placement between points and the map
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(ProfileStore, EveryKeyRoundTripsInTheSettingsGroupOfTheFile) {
    TempDir dir;
    const std::string path = dir.File("Quillbay/fenrik.conf");  // the folder does not exist yet
    ProfileStore writer(path);
    int number = -2;
    for (const SettingInfo& setting : kAllSettings) {
        const bool written = setting.kind == SettingKind::Integer
                                 ? writer.WriteProfileInt(kSettingsSection, setting.key, number++)
                                 : writer.WriteProfileString(kSettingsSection, setting.key,
                                                             std::string("/photos/") + setting.key);
        EXPECT_TRUE(written) << setting.key;
    }
    ProfileStore reader(path);  // a second store sees the file, not a cache
    number = -2;
    for (const SettingInfo& setting : kAllSettings) {
        SCOPED_TRACE(setting.key);
        if (setting.kind == SettingKind::Integer) {
            EXPECT_EQ(reader.GetProfileInt(kSettingsSection, setting.key, 99), number++);
        } else {
            EXPECT_EQ(reader.GetProfileString(kSettingsSection, setting.key, ""),
                      std::string("/photos/") + setting.key);
        }
    }
    const std::string text = ReadFileText(path);
    EXPECT_NE(text.find("[Settings]\n"), std::string::npos) << text;
    EXPECT_NE(text.find("HotFolder1Enabled=-2\n"), std::string::npos) << text;
}

TEST(ProfileStore, TextIsStoredExactlyAsTyped) {
    TempDir dir;
    ProfileStore store(dir.File("p.conf"));
    const std::string texts[] = {
        "1,5h",  // a tolerance that is not a number stays as typed
        "abc",
        " leading and trailing ",
        "C:\\Photos\\2007, \"Munich\"; #1 = @best",
        "@ByteArray(x)",
        "two\nlines",
        "M\xC3\xBCnchen",        // UTF-8
        "Caf\xE9 \xFF\x01 raw",  // not UTF-8: bytes kept
        "",
    };
    for (const std::string& text : texts) {
        ASSERT_TRUE(store.WriteProfileString(kSettingsSection, kToleranceHours, text));
        EXPECT_EQ(store.GetProfileString(kSettingsSection, kToleranceHours, "default"), text);
    }
}

TEST(ProfileStore, IntegerReadOfANonNumberGivesTheDefault) {
    TempDir dir;
    const std::string path = dir.File("p.conf");
    WriteFileText(path,
                  "[Settings]\nA=abc\nB=12abc\nC=99999999999\nD=\nE=-1\nF= 7 \nG=0x10\nH=2.5\n");
    ProfileStore store(path);
    EXPECT_EQ(store.GetProfileInt("Settings", "A", 42), 42);
    EXPECT_EQ(store.GetProfileInt("Settings", "B", 42), 42);
    EXPECT_EQ(store.GetProfileInt("Settings", "C", 42), 42);
    EXPECT_EQ(store.GetProfileInt("Settings", "D", 42), 42);
    EXPECT_EQ(store.GetProfileInt("Settings", "E", 42), -1);
    EXPECT_EQ(store.GetProfileInt("Settings", "F", 42), 7);
    EXPECT_EQ(store.GetProfileInt("Settings", "G", 42), 42);
    EXPECT_EQ(store.GetProfileInt("Settings", "H", 42), 42);
    // A text written as such reads back as text even when it looks like a number.
    ASSERT_TRUE(store.WriteProfileString(kSettingsSection, kToleranceMinutes, "05"));
    EXPECT_EQ(store.GetProfileString(kSettingsSection, kToleranceMinutes, ""), "05");
}

TEST(ProfileStore, AWriteKeepsOtherKeysAndSectionsAndSeesOutsideChanges) {
    TempDir dir;
    const std::string path = dir.File("p.conf");
    WriteFileText(path, "[Other]\nKeep=yes\n\n[Settings]\nDevice=/a.gpx\nUseLogfile=1\n");
    ProfileStore store(path);
    EXPECT_EQ(store.GetProfileString(kSettingsSection, kDevice, ""), "/a.gpx");
    ASSERT_TRUE(store.WriteProfileInt(kSettingsSection, kUseLogfile, 0));
    EXPECT_EQ(store.GetProfileString(kSettingsSection, kDevice, ""), "/a.gpx");
    EXPECT_EQ(store.GetProfileString("Other", "Keep", ""), "yes");
    EXPECT_EQ(store.GetProfileInt(kSettingsSection, kUseLogfile, 5), 0);

    // Another program rewrites the file: the next read sees the new content.
    WriteFileText(path, "[Settings]\nDevice=/another/track, 2.gpx\n");
    EXPECT_EQ(store.GetProfileString(kSettingsSection, kDevice, ""), "/another/track, 2.gpx");
    EXPECT_EQ(store.GetProfileInt(kSettingsSection, kUseLogfile, 5), 5);
}

TEST(ProfileStore, AFailedWriteIsTracedAndReportedNotThrown) {
    TempDir dir;
    WriteFileText(dir.File("plain-file"), "x");
    ProfileStore store(dir.File("plain-file/Quillbay/fenrik.conf"));  // cannot be created
    DebugCapture capture;
    EXPECT_FALSE(store.WriteProfileString(kSettingsSection, kDevice, "/a.gpx"));
    EXPECT_FALSE(store.WriteProfileInt(kSettingsSection, kTZIndex, 3));
    EXPECT_NE(capture.Text().find("Settings/TZIndex"), std::string::npos) << capture.Text();
    EXPECT_EQ(store.GetProfileString(kSettingsSection, kDevice, "none"), "none");
}

TEST(ProfileStore, AValueWrittenJustBeforeACrashIsOnDisk) {
    TempDir dir;
    const std::string path = dir.File("p.conf");
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        ProfileStore store(path);
        store.WriteProfileString(kSettingsSection, kDevice, "/tracks/crash.gpx");
        store.WriteProfileInt(kSettingsSection, kBiasInMinutes, -60);
        raise(SIGKILL);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    ProfileStore store(path);
    EXPECT_EQ(store.GetProfileString(kSettingsSection, kDevice, ""), "/tracks/crash.gpx");
    EXPECT_EQ(store.GetProfileInt(kSettingsSection, kBiasInMinutes, 0), -60);
}

TEST(ProfileStore, WritesFromTwoThreadsAreAllKept) {
    TempDir dir;
    ProfileStore store(dir.File("p.conf"));
    auto writeKeys = [&store](const std::string& prefix) {
        for (int i = 0; i < 20; ++i) {
            store.WriteProfileInt(kSettingsSection, (prefix + std::to_string(i)).c_str(), i);
        }
    };
    std::thread first(writeKeys, "First");
    std::thread second(writeKeys, "Second");
    first.join();
    second.join();
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(store.GetProfileInt("Settings", ("First" + std::to_string(i)).c_str(), -1), i);
        EXPECT_EQ(store.GetProfileInt("Settings", ("Second" + std::to_string(i)).c_str(), -1), i);
    }
}

TEST(AppProfile, LivesInTheUsersConfigFolderUnderTheExecutablesName) {
    EXPECT_EQ(ExecutableBaseName(), "profile_tests");
    TempDir dir;
    const char* previous = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = previous != nullptr ? previous : "";
    setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);
    EXPECT_EQ(UserProfilePath(kCompanyName, "fenrik"), dir.Path() + "/Quillbay/fenrik.conf");
    if (previous != nullptr) {
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    } else {
        unsetenv("XDG_CONFIG_HOME");
    }
}

}  // namespace
