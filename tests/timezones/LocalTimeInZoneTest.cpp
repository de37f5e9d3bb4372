// SPDX-License-Identifier: GPL-3.0-or-later
// Local times read with a zone's full rules, the two hours around a change of offset included.
#include <gtest/gtest.h>

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <QTimeZone>

#include "timezones/LocalTimeInZone.h"

namespace {

// Seconds since 1970 of a local calendar time, counted as if it were UTC.
int64_t Local(int year, int month, int day, int hour, int minute) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute), QTimeZone::utc())
        .toSecsSinceEpoch();
}

void ExpectOffset(const char* zone, int64_t local, int32_t offsetSeconds, bool summer) {
    const std::optional<ZoneOffset> offset = OffsetAtLocalTime(zone, local);
    ASSERT_TRUE(offset.has_value()) << zone;
    EXPECT_EQ(offset->offsetSeconds, offsetSeconds) << zone;
    EXPECT_EQ(offset->summerTime, summer) << zone;
}

}  // namespace

TEST(OffsetAtLocalTime, SummerAndWinterInBothHemispheres) {
    ExpectOffset("Europe/Berlin", Local(2024, 7, 14, 12, 0), 7200, true);
    ExpectOffset("Europe/Berlin", Local(2024, 1, 14, 12, 0), 3600, false);
    ExpectOffset("Australia/Sydney", Local(2024, 1, 14, 12, 0), 39600, true);
    ExpectOffset("Australia/Sydney", Local(2024, 7, 14, 12, 0), 36000, false);
    ExpectOffset("America/New_York", Local(2024, 7, 4, 9, 0), -4 * 3600, true);
    // Historical rules: Berlin kept "double summer time" (+03:00) in summer 1947.
    ExpectOffset("Europe/Berlin", Local(1947, 6, 15, 12, 0), 3 * 3600, true);
}

TEST(OffsetAtLocalTime, SkippedHourIsReadWithTheOffsetBeforeTheChange) {
    // Berlin went from 02:00 to 03:00 on 31 March 2024: 02:30 never happened on a wall clock.
    ExpectOffset("Europe/Berlin", Local(2024, 3, 31, 2, 30), 3600, false);
    ExpectOffset("Europe/Berlin", Local(2024, 3, 31, 1, 59), 3600, false);
    ExpectOffset("Europe/Berlin", Local(2024, 3, 31, 3, 0), 7200, true);
    // Sydney went from 02:00 to 03:00 on 6 October 2024.
    ExpectOffset("Australia/Sydney", Local(2024, 10, 6, 2, 30), 36000, false);
}

TEST(OffsetAtLocalTime, RepeatedHourIsReadAsItsFirstOccurrence) {
    // Berlin went back from 03:00 to 02:00 on 27 October 2024: 02:30 happened twice.
    ExpectOffset("Europe/Berlin", Local(2024, 10, 27, 2, 30), 7200, true);
    ExpectOffset("Europe/Berlin", Local(2024, 10, 27, 3, 0), 3600, false);
    // Sydney went back from 03:00 to 02:00 on 7 April 2024.
    ExpectOffset("Australia/Sydney", Local(2024, 4, 7, 2, 30), 39600, true);
}

TEST(OffsetAtLocalTime, UnknownZonesGiveNothing) {
    EXPECT_FALSE(OffsetAtLocalTime("", Local(2024, 7, 14, 12, 0)));
    EXPECT_FALSE(OffsetAtLocalTime("Europe/Atlantis", Local(2024, 7, 14, 12, 0)));
    EXPECT_FALSE(IsKnownZone("Europe/Atlantis"));
    EXPECT_TRUE(IsKnownZone("Europe/Berlin"));
}
