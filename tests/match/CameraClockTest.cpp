// SPDX-License-Identifier: GPL-3.0-or-later
// Reading offsets, choosing the one a photo is matched with, and the words the log uses.
#include <gtest/gtest.h>

#include "match/CameraClock.h"

namespace {

// 14 July 2024 12:00 and 14 January 2024 12:00 on a local clock, as seconds since 1970.
constexpr int64_t kJuly = 1720958400;
constexpr int64_t kJanuary = 1705233600;

}  // namespace

TEST(ParseExifOffset, TakesOnlyTheSignedHoursAndMinutesForm) {
    EXPECT_EQ(ParseExifOffset("+02:00"), 7200);
    EXPECT_EQ(ParseExifOffset("-09:30"), -(9 * 3600 + 30 * 60));
    EXPECT_EQ(ParseExifOffset("+00:00"), 0);
    EXPECT_EQ(ParseExifOffset("+14:00"), 14 * 3600);
    for (const char* bad : {"", "   :  ", "02:00", "+2:00", "+02:0", "+0200", "+02:00 ", " +02:00",
                            "+15:00", "+14:30", "+02:60", "Z", "+02:00Z", "-0a:00"}) {
        EXPECT_FALSE(ParseExifOffset(bad)) << '"' << bad << '"';
    }
}

TEST(ChooseOffset, PhotoOffsetThenZoneRulesThenBias) {
    CameraClock clock;
    clock.zoneId = "Europe/Berlin";
    // The photo's own offset wins while the setting is on.
    CaptureOffset offset = ChooseOffset(clock, -60, 7200, kJanuary);
    EXPECT_EQ(offset.source, OffsetSource::Photo);
    EXPECT_EQ(offset.offsetSeconds, 7200);
    // Without it, or with the setting off, the zone's standard offset (the bias) as always.
    offset = ChooseOffset(clock, -60, std::nullopt, kJuly);
    EXPECT_EQ(offset.source, OffsetSource::Zone);
    EXPECT_EQ(offset.offsetSeconds, 3600);
    clock.usePhotoTimeZone = false;
    offset = ChooseOffset(clock, -60, 7200, kJuly);
    EXPECT_EQ(offset.source, OffsetSource::Zone);
    EXPECT_EQ(offset.offsetSeconds, 3600);
    // Following daylight saving: the zone's rules at the photo's own date.
    clock.followDaylightSaving = true;
    offset = ChooseOffset(clock, -60, 7200, kJuly);
    EXPECT_EQ(offset.source, OffsetSource::ZoneRules);
    EXPECT_EQ(offset.offsetSeconds, 7200);
    EXPECT_TRUE(offset.summerTime);
    offset = ChooseOffset(clock, -60, std::nullopt, kJanuary);
    EXPECT_EQ(offset.offsetSeconds, 3600);
    EXPECT_FALSE(offset.summerTime);
    // A zone the system does not know falls back on the bias.
    clock.zoneId = "Nowhere/Atlantis";
    offset = ChooseOffset(clock, -60, std::nullopt, kJuly);
    EXPECT_EQ(offset.source, OffsetSource::Zone);
    EXPECT_EQ(offset.offsetSeconds, 3600);
}

TEST(CameraClockTexts, OffsetsCorrectionsAndDurationsInWords) {
    EXPECT_EQ(OffsetText(7200), "+02:00");
    EXPECT_EQ(OffsetText(-34200), "-09:30");
    EXPECT_EQ(OffsetText(0), "+00:00");
    CaptureOffset offset{7200, OffsetSource::Photo, false};
    EXPECT_EQ(OffsetLabel(offset, "Europe/Berlin"), "+02:00 from the photo");
    offset = {3600, OffsetSource::Zone, false};
    EXPECT_EQ(OffsetLabel(offset, "Europe/Berlin"), "Europe/Berlin +01:00");
    EXPECT_EQ(OffsetLabel(offset, ""), "+01:00");
    offset = {7200, OffsetSource::ZoneRules, true};
    EXPECT_EQ(OffsetLabel(offset, "Europe/Berlin"), "Europe/Berlin +02:00 with summer time");
    offset = {3600, OffsetSource::ZoneRules, false};
    EXPECT_EQ(OffsetLabel(offset, "Europe/Berlin"), "Europe/Berlin +01:00");

    EXPECT_EQ(CorrectionText(0), "none");
    EXPECT_EQ(CorrectionText(200), "camera 3 min 20 s fast");
    EXPECT_EQ(CorrectionText(-5), "camera 5 s slow");
    EXPECT_EQ(CorrectionText(-3605), "camera 1 h 0 min 5 s slow");
    EXPECT_EQ(DurationText(0), "0 s");
    EXPECT_EQ(DurationText(-40), "40 s");
    EXPECT_EQ(DurationText(86400 * 3 + 7200 + 5), "3 d 2 h 0 min 5 s");

    CameraClock clock;
    clock.correctionSeconds = 200;
    EXPECT_EQ(MatchedTimeLine({7200, OffsetSource::Photo, false}, clock, -40),
              "Capture time read at +02:00 from the photo, clock correction camera 3 min 20 s "
              "fast; the matched point is 40 s earlier");
    EXPECT_EQ(MatchedTimeLine({0, OffsetSource::FileTime, false}, clock, 0),
              "Capture time read at +00:00 (file modification time), clock correction not "
              "applied; the matched point is at the same second");
}

TEST(UnixSecondsOfCount, RoundsDownOnBothSidesOf1970) {
    EXPECT_EQ(UnixSecondsOfCount(116444736000000000), 0);
    EXPECT_EQ(UnixSecondsOfCount(116444736000000000 + 19999999), 1);
    EXPECT_EQ(UnixSecondsOfCount(116444736000000000 - 1), -1);
}
