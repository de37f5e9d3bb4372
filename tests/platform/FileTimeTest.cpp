// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileTime.h"

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace {

SYSTEMTIME Make(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    return MakeSystemTime(y, mo, d, h, mi, s, ms);
}

uint64_t CountOf(const SYSTEMTIME& st) {
    FILETIME ft;
    EXPECT_TRUE(SystemTimeToFileTime(st, &ft));
    return FileTimeToCount(ft);
}

TEST(FileTime, KnownInstants) {
    EXPECT_EQ(CountOf(Make(1601, 1, 1)), 0u);
    // 1970-01-01 is 11644473600 seconds after 1601-01-01.
    EXPECT_EQ(CountOf(Make(1970, 1, 1)), 116444736000000000u);
    EXPECT_EQ(CountOf(Make(2007, 6, 1, 12, 4, 50)), FileTimeCountFromUnix(1180699490, 0));
    EXPECT_EQ(CountOf(Make(2000, 2, 29, 23, 59, 59, 999)) + 10000, CountOf(Make(2000, 3, 1)));
    EXPECT_EQ(CountOf(Make(30827, 12, 31, 23, 59, 59, 999)), 9223149887999990000u);
}

TEST(FileTime, InvalidFieldsFailAndLeaveOutputUntouched) {
    const SYSTEMTIME invalid[] = {
        Make(1600, 12, 31),
        Make(30828, 1, 1),
        Make(2007, 13, 1),
        Make(2007, 0, 1),
        Make(2007, 2, 30),
        Make(2007, 2, 29),
        Make(1900, 2, 29),
        Make(2007, 4, 31),
        Make(2007, 6, 0),
        Make(2007, 6, 1, 24),
        Make(2007, 6, 1, 0, 60),
        Make(2007, 6, 1, 0, 0, 60),
        Make(2007, 6, 1, 0, 0, 0, 1000),
    };
    for (const SYSTEMTIME& st : invalid) {
        FILETIME ft = CountToFileTime(42);
        EXPECT_FALSE(SystemTimeToFileTime(st, &ft))
            << st.wYear << "-" << st.wMonth << "-" << st.wDay;
        EXPECT_EQ(FileTimeToCount(ft), 42u);
    }
    EXPECT_TRUE(SystemTimeToFileTime(Make(2000, 2, 29), nullptr) == false);
}

TEST(FileTime, DayOfWeekIsIgnoredOnInputAndFilledOnOutput) {
    SYSTEMTIME st = Make(2007, 6, 1, 12, 34, 56, 789);
    st.wDayOfWeek = 6;
    FILETIME ft;
    ASSERT_TRUE(SystemTimeToFileTime(st, &ft));
    SYSTEMTIME back;
    ASSERT_TRUE(FileTimeToSystemTime(ft, &back));
    EXPECT_EQ(back.wYear, 2007);
    EXPECT_EQ(back.wMonth, 6);
    EXPECT_EQ(back.wDay, 1);
    EXPECT_EQ(back.wHour, 12);
    EXPECT_EQ(back.wMinute, 34);
    EXPECT_EQ(back.wSecond, 56);
    EXPECT_EQ(back.wMilliseconds, 789);
    EXPECT_EQ(back.wDayOfWeek, 5);  // a Friday

    ASSERT_TRUE(FileTimeToSystemTime(CountToFileTime(0), &back));
    EXPECT_EQ(back.wDayOfWeek, 1);  // 1601-01-01 was a Monday
}

TEST(FileTime, RoundTripsAcrossTheWholeRange) {
    for (int year : {1601, 1899, 1900, 2000, 2024, 2100, 9999, 30827}) {
        for (int month = 1; month <= 12; ++month) {
            const SYSTEMTIME st = Make(year, month, month == 2 ? 28 : 30, 23, 59, 58, 7);
            FILETIME ft;
            ASSERT_TRUE(SystemTimeToFileTime(st, &ft));
            SYSTEMTIME back;
            ASSERT_TRUE(FileTimeToSystemTime(ft, &back));
            EXPECT_EQ(back.wYear, st.wYear);
            EXPECT_EQ(back.wMonth, st.wMonth);
            EXPECT_EQ(back.wDay, st.wDay);
            EXPECT_EQ(back.wSecond, st.wSecond);
        }
    }
}

TEST(FileTime, CountsFrom2To63FailToConvert) {
    SYSTEMTIME st = Make(1999, 9, 9);
    EXPECT_FALSE(FileTimeToSystemTime(CountToFileTime(uint64_t{1} << 63), &st));
    EXPECT_FALSE(FileTimeToSystemTime(CountToFileTime(~uint64_t{0}), &st));
    EXPECT_EQ(st.wYear, 1999);
    ASSERT_TRUE(FileTimeToSystemTime(CountToFileTime((uint64_t{1} << 63) - 1), &st));
    EXPECT_EQ(st.wYear, 30828);
    EXPECT_EQ(st.wMonth, 9);
    EXPECT_EQ(st.wDay, 14);
}

TEST(FileTime, UnixTimesBefore1601GiveZero) {
    EXPECT_EQ(FileTimeCountFromUnix(-11644473600, 0), 0u);
    EXPECT_EQ(FileTimeCountFromUnix(-11644473601, 0), 0u);
    EXPECT_EQ(FileTimeCountFromUnix(0, 150), 116444736000000001u);
}

}  // namespace
