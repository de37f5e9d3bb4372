// SPDX-License-Identifier: GPL-3.0-or-later
// Path joining, local date formatting and the debugger output.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

#include "TestSupport.h"
#include "platform/DebugOutput.h"
#include "platform/LocalClock.h"
#include "platform/PathText.h"

namespace {

TEST(FolderOfAndFileNameOf, SplitAtTheLastSeparator) {
    EXPECT_EQ(FileNameOf("/photos/trip/a.jpg"), "a.jpg");
    EXPECT_EQ(FileNameOf("a.jpg"), "a.jpg");
    EXPECT_EQ(FileNameOf("/photos/trip/"), "");
    EXPECT_EQ(FolderOf("/photos/trip/a.jpg"), "/photos/trip");
    EXPECT_EQ(FolderOf("/photos/trip//a.jpg"), "/photos/trip/");
    EXPECT_EQ(FolderOf("/a.jpg"), "/");
    EXPECT_EQ(FolderOf("a.jpg"), ".");
    EXPECT_EQ(FolderOf("trip/a.jpg"), "trip");
}

TEST(JoinPath, AddsExactlyOneSeparatorAndNothingElse) {
    EXPECT_EQ(JoinPath("/photos/trip", "fenrik.log"), "/photos/trip/fenrik.log");
    EXPECT_EQ(JoinPath("/photos/trip/", "a.jpg"), "/photos/trip//a.jpg");
    EXPECT_EQ(JoinPath("", "fenrik.log"), "/fenrik.log");
    EXPECT_EQ(JoinPath("rel\\dir", "x"), "rel\\dir/x");
}

std::tm SampleTime() {
    std::tm t{};
    t.tm_year = 2007 - 1900;
    t.tm_mon = 5;
    t.tm_mday = 1;
    t.tm_hour = 13;
    t.tm_min = 5;
    t.tm_sec = 9;
    return t;
}

TEST(LocalClock, TimeIsTwentyFourHourWithSeconds) {
    EXPECT_EQ(FormatTime24(SampleTime()), "13:05:09");
}

TEST(LocalClock, ShortDateFollowsTheUsersTimeLocale) {
    // The user's LC_TIME locale is read once per process; the suite's environment sets it.
    const char* lcTime = std::getenv("LC_TIME");
    const std::string date = FormatShortDate(SampleTime());
    if (lcTime != nullptr && std::string(lcTime) == "de_DE.UTF-8") {
        EXPECT_EQ(date, "01.06.2007");
    } else {
        EXPECT_FALSE(date.empty());
        EXPECT_NE(date.find("07"), std::string::npos);
    }
}

TEST(DebugOutput, CaptureSeesTracesUnchangedAndInOrder) {
    DebugCapture capture;
    EXPECT_TRUE(IsDebugOutputEnabled());
    OutputDebugStringA("Checking /a.jpg\n");
    OutputDebugStringA("x");
    EXPECT_EQ(capture.Text(), "Checking /a.jpg\nx");
}

}  // namespace
