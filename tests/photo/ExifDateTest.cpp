// SPDX-License-Identifier: GPL-3.0-or-later
#include "photo/ExifDate.h"

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace {

TEST(ParseExifDateTime, SixOrFiveFieldsGiveATime) {
    EXPECT_EQ(ParseExifDateTime("2007:06:01 12:34:56"), UtcCount(2007, 6, 1, 12, 34, 56));
    EXPECT_EQ(ParseExifDateTime("2007:06:01 12:34"), UtcCount(2007, 6, 1, 12, 34, 0));
    EXPECT_EQ(ParseExifDateTime(" 2007:06:01  12:34:56 extra"), UtcCount(2007, 6, 1, 12, 34, 56));
    EXPECT_EQ(ParseExifDateTime("2007:06:01 12:34:5x"), UtcCount(2007, 6, 1, 12, 34, 5));
}

TEST(ParseExifDateTime, UnusableTextsGiveNothing) {
    EXPECT_FALSE(ParseExifDateTime("2007:06:01 12"));
    EXPECT_FALSE(ParseExifDateTime("    :  :     :  :  "));
    EXPECT_FALSE(ParseExifDateTime("0000:00:00 00:00:00"));
    EXPECT_FALSE(ParseExifDateTime("2007:02:30 12:00:00"));
    EXPECT_FALSE(ParseExifDateTime(""));
}

}  // namespace
