// SPDX-License-Identifier: GPL-3.0-or-later
#include "photo/exif/GpsTags.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "TestSupport.h"

namespace {

TEST(FormatGpsCoordinate, TruncatesSecondsToHundredthsInSinglePrecision) {
    EXPECT_EQ(FormatGpsCoordinate(48.137154), "48/1 8/1 1375/100");
    EXPECT_EQ(FormatGpsCoordinate(11.575382), "11/1 34/1 3137/100");
    EXPECT_EQ(FormatGpsCoordinate(-0.1275), "0/1 7/1 3899/100");
    EXPECT_EQ(FormatGpsCoordinate(-122.4194), "122/1 25/1 984/100");
    EXPECT_EQ(FormatGpsCoordinate(51.5), "51/1 30/1 0/100");
    EXPECT_EQ(FormatGpsCoordinate(10.99999999999), "10/1 59/1 6000/100");
    EXPECT_EQ(FormatGpsCoordinate(-33.8568), "33/1 51/1 2448/100");
    EXPECT_EQ(FormatGpsCoordinate(151.2153), "151/1 12/1 5508/100");
    EXPECT_EQ(FormatGpsCoordinate(0.0), "0/1 0/1 0/100");
}

TEST(FormatGpsCoordinate, ValuesBeyondIntegersDoNotMisbehave) {
    EXPECT_EQ(TruncateToInt32(-545.7), -545);
    EXPECT_EQ(TruncateToInt32(std::nan("")), INT32_MIN);
    EXPECT_EQ(TruncateToInt32(1e12), INT32_MIN);
    EXPECT_EQ(FormatGpsCoordinate(std::numeric_limits<double>::infinity()).substr(0, 12),
              "-2147483648/");
}

}  // namespace
