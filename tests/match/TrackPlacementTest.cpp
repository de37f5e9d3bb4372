// SPDX-License-Identifier: GPL-3.0-or-later
// Placing photos between track points: the three rules, their order and their edges.
#include "match/TrackPlacement.h"

#include <gtest/gtest.h>

#include <cmath>

#include "TestSupport.h"
#include "match/CaptureTime.h"
#include "match/PlacementText.h"

namespace {

constexpr int64_t kSecond = kFileTimeUnitsPerSecond;
const int64_t kNoon = static_cast<int64_t>(UtcCount(2007, 6, 1, 12, 0, 0));
constexpr int64_t kGap = 1800 * kSecond;

class Placing : public ::testing::Test {
protected:
    // A point `seconds` (with fraction) after noon.
    void Add(double latitude, double longitude, double seconds, int32_t segment,
             double elevation = kNoElevation, PointKind kind = PointKind::Track) {
        TrackPoint point;
        point.latitude = latitude;
        point.longitude = longitude;
        point.elevation = elevation;
        point.time = CountToFileTime(static_cast<uint64_t>(kNoon + Units(seconds)));
        log.Append(point, kind, kind == PointKind::Waypoint ? kNoSegment : segment);
    }
    static int64_t Units(double seconds) {
        return static_cast<int64_t>(std::llround(seconds * kSecond));
    }
    // Placed at noon + `seconds`, the camera on UTC, with `tolerance` seconds.
    PlacementAnswer At(double seconds, int64_t tolerance = 0, int64_t gap = kGap) {
        TrackMatcher matcher(log);
        const int64_t utc = kNoon + Units(seconds);
        return matcher.Place(utc, utc - utc % kSecond, 0, tolerance * kSecond, gap);
    }

    TrackLog log;
};

TEST_F(Placing, AnExactFixWinsAndTheFirstInDocumentOrder) {
    Add(1, 1, 0, 0);
    Add(2, 2, 60, 0);
    Add(3, 3, 60, 1);  // the same moment in another segment
    Add(4, 4, 120, 0);
    for (double at : {0.0, 60.0, 120.0}) {  // the first, a middle and the last point
        const PlacementAnswer answer = At(at);
        ASSERT_TRUE(answer.match) << at;
        EXPECT_EQ(answer.match->method, PlacementMethod::Exact) << at;
    }
    EXPECT_EQ(At(60).match->position.latitude, 2);
    EXPECT_EQ(PlacedHow(*At(60).match, kNoon + 60 * kSecond), "exact");
}

TEST_F(Placing, BetweenTwoFixesOnTheGreatCircleWithLinearElevation) {
    Add(0, 0, 0, 0, 100);
    Add(0, 10, 100, 0, 200);
    const PlacementAnswer answer = At(25);
    ASSERT_TRUE(answer.match);
    EXPECT_EQ(answer.match->method, PlacementMethod::Interpolated);
    EXPECT_NEAR(answer.match->position.longitude, 2.5, 1e-9);  // the equator is a great circle
    EXPECT_NEAR(answer.match->position.latitude, 0, 1e-9);
    EXPECT_NEAR(answer.match->position.elevation, 125, 1e-9);
    EXPECT_EQ(answer.match->before, 0u);
    EXPECT_EQ(answer.match->after, 1u);
    EXPECT_EQ(PlacedHow(*answer.match, kNoon + 25 * kSecond),
              "interpolated between points 25 s and 1 min 15 s away");
    // Off the equator, the great circle bends towards the pole.
    log.Empty();
    Add(60, 0, 0, 0);
    Add(60, 90, 100, 0);
    EXPECT_GT(At(50).match->position.latitude, 60.5);
    EXPECT_NEAR(At(50).match->position.longitude, 45, 1e-9);
}

TEST_F(Placing, WithoutElevationTheNearerPointsOwnAndTheMiddleTakesTheFirst) {
    Add(0, 0, 0, 0, 100);
    Add(0, 1, 10, 0);  // no elevation
    EXPECT_EQ(At(4).match->position.elevation, 100);
    EXPECT_EQ(At(5).match->position.elevation, 100);
    EXPECT_EQ(At(6).match->position.elevation, kNoElevation);
}

TEST_F(Placing, TheShortWayAcrossTheDateLineAndPastAPole) {
    Add(10, 179, 0, 0);
    Add(10, -179, 100, 0);
    const double longitude = At(50).match->position.longitude;
    EXPECT_NEAR(std::fabs(longitude), 180, 1e-6);
    EXPECT_NEAR(At(25).match->position.longitude, 179.5, 0.01);
    EXPECT_NEAR(At(75).match->position.longitude, -179.5, 0.01);
    log.Empty();
    Add(89, 0, 0, 0);
    Add(89, 180, 100, 0);  // the great circle runs over the pole
    EXPECT_NEAR(At(50).match->position.latitude, 90, 1e-6);
    EXPECT_NEAR(At(25).match->position.latitude, 89.5, 1e-6);
    EXPECT_NEAR(At(25).match->position.longitude, 0, 1e-6);
}

TEST_F(Placing, NeverAcrossAGapOverTheLimitOrBetweenSegments) {
    Add(1, 1, 0, 0);
    Add(2, 2, 1801, 0);  // one second over the limit
    Add(3, 3, 2000, 1);
    Add(4, 4, 2100, 2);  // the logger off between segments 1 and 2
    PlacementAnswer answer = At(900);
    EXPECT_FALSE(answer.match);
    EXPECT_EQ(answer.why, Unplaced::InALongGap);
    EXPECT_EQ(NotPlacedWhy(answer.why, answer.distance, "0 h 1 min"),
              "between two track points 30 min 1 s apart, more than the largest gap");
    answer = At(2050);
    EXPECT_FALSE(answer.match);
    EXPECT_EQ(answer.why, Unplaced::InAGap);
    EXPECT_EQ(NotPlacedWhy(answer.why, answer.distance, "0 h 1 min"),
              "in a gap between track segments");
    // At the limit it is placed.
    EXPECT_TRUE(At(900, 0, 1801 * kSecond).match);
    // The nearest fix within the tolerance still places it, as without interpolation.
    answer = At(2050, 60);
    ASSERT_TRUE(answer.match);
    EXPECT_EQ(answer.match->method, PlacementMethod::Nearest);
    EXPECT_EQ(PlacedHow(*answer.match, kNoon + 2050 * kSecond), "nearest point, 50 s away");
}

TEST_F(Placing, BeforeAndAfterTheTrackSayHowFar) {
    Add(1, 1, 0, 0);
    Add(2, 2, 60, 0);
    PlacementAnswer answer = At(-200);
    EXPECT_EQ(answer.why, Unplaced::BeforeTheTrack);
    EXPECT_EQ(NotPlacedWhy(answer.why, answer.distance, "0 h 2 min"),
              "3 min 20 s before the track starts");
    answer = At(90);
    EXPECT_EQ(answer.why, Unplaced::AfterTheTrack);
    EXPECT_EQ(NotPlacedWhy(answer.why, answer.distance, "0 h 2 min"), "30 s after the track ends");
    log.Empty();
    Add(1, 1, 0, 0, kNoElevation, PointKind::Waypoint);
    Add(2, 2, 60, 0, kNoElevation, PointKind::Waypoint);
    answer = At(30);  // waypoints make no segment to lie in a gap of
    EXPECT_EQ(answer.why, Unplaced::BeyondTheTolerance);
    EXPECT_EQ(NotPlacedWhy(answer.why, 0, "0 h 2 min"), "farther than 0 h 2 min from any point");
}

TEST_F(Placing, OverlappingSegmentsTakeTheShortestGapThenTheEarlierInTheDocument) {
    Add(10, 10, 0, 0);
    Add(11, 11, 100, 0);
    Add(20, 20, 40, 1);
    Add(21, 21, 70, 1);  // the shorter leg
    Add(30, 30, 40, 2);
    Add(31, 31, 70, 2);  // as short, later in the document
    const PlacementAnswer answer = At(50);
    ASSERT_TRUE(answer.match);
    EXPECT_EQ(answer.match->before, 2u);
    EXPECT_EQ(answer.match->after, 3u);
}

TEST_F(Placing, ASegmentIsTakenInTimeOrderWhateverTheOrderOfItsPoints) {
    Add(3, 3, 200, 0);
    Add(1, 1, 0, 0);
    Add(2, 2, 100, 0);  // the clock went back, then on
    const PlacementAnswer answer = At(150);
    ASSERT_TRUE(answer.match);
    EXPECT_EQ(answer.match->before, 2u);
    EXPECT_EQ(answer.match->after, 0u);
    EXPECT_NEAR(answer.match->position.latitude, 2.5, 0.01);
}

TEST_F(Placing, SubSecondsOfTheTrackAndThePhotoCount) {
    Add(0, 0, 0.0, 0);
    Add(0, 1, 1.0, 0);
    Add(0, 2, 1.5, 0);
    EXPECT_EQ(At(1.5).match->method, PlacementMethod::Exact);
    EXPECT_NEAR(At(0.25).match->position.longitude, 0.25, 1e-6);
    EXPECT_NEAR(At(1.25).match->position.longitude, 1.5, 1e-6);
    EXPECT_EQ(PlacedHow(*At(0.25).match, kNoon + Units(0.25)),
              "interpolated between points 0.2 s and 0.8 s away");
    EXPECT_EQ(SubSecondUnits("25"), 2500000);
    EXPECT_EQ(SubSecondUnits(" 5"), 5000000);
    EXPECT_EQ(SubSecondUnits("123456789"), 1234567);
    EXPECT_EQ(SubSecondUnits("x"), 0);
}

TEST_F(Placing, EveryPhotoOfALongTrackFindsItsLeg) {
    for (int i = 0; i < 100000; ++i) {
        Add(i * 1e-4, 0, i, 0);
    }
    TrackMatcher matcher(log);
    for (int i = 0; i < 1000; ++i) {
        const int64_t utc = kNoon + i * 97 * kSecond + kSecond / 2;
        const PlacementAnswer answer = matcher.Place(utc, utc, 0, 0, kGap);
        ASSERT_TRUE(answer.match);
        EXPECT_EQ(answer.match->before, static_cast<size_t>(i) * 97);
    }
}

}  // namespace
