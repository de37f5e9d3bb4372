// SPDX-License-Identifier: GPL-3.0-or-later
#include "track/TrackLog.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

TrackPoint At(double latitude) {
    TrackPoint point;
    point.latitude = latitude;
    return point;
}

TEST(TrackLog, StretchesFollowKindAndSegmentAndLogsAppendWithSegmentsOfTheirOwn) {
    TrackLog file;
    file.Append(At(1));  // no stretch yet: a track point of segment 0
    file.Append(At(2), PointKind::Waypoint, kNoSegment);
    file.Append(At(3), PointKind::Track, 7);
    file.Append(At(4));  // continues segment 7
    file.Append(At(5), PointKind::Route, 9);
    ASSERT_EQ(file.Runs().size(), 4u);
    EXPECT_EQ(file.RunAt(0).segment, 0);
    EXPECT_EQ(file.RunAt(1).kind, PointKind::Waypoint);
    EXPECT_EQ(file.RunAt(3).segment, 7);
    EXPECT_EQ(file.RunAt(4).kind, PointKind::Route);

    TrackLog run;
    run.AppendLog(file, "a.gpx", "GPX");
    TrackLog taken = file;
    run.AppendLog(std::move(taken), "b.gpx", "GPX");  // as a reader's answer is handed over
    EXPECT_TRUE(taken.IsEmpty());
    EXPECT_EQ(file.Count(), 5u);
    ASSERT_EQ(run.Count(), 10u);
    // Segment numbers are dense, in order of first appearance, and new for each log appended.
    const int32_t expected[] = {0, kNoSegment, 1, 1, 2, 3, kNoSegment, 4, 4, 5};
    for (size_t i = 0; i < run.Count(); ++i) {
        EXPECT_EQ(run.RunAt(i).segment, expected[i]) << i;
        EXPECT_EQ(run.At(i).latitude, file.At(i % 5).latitude);
    }
    EXPECT_EQ(run.SegmentCount(), 6);
    ASSERT_EQ(run.Origins().size(), 2u);
    EXPECT_EQ(run.Origins()[1].first, 5u);
    EXPECT_EQ(run.Origins()[1].count, 5u);

    const uint64_t generation = run.Generation();
    run.Empty();
    EXPECT_TRUE(run.IsEmpty());
    EXPECT_TRUE(run.Runs().empty());
    EXPECT_TRUE(run.Origins().empty());
    EXPECT_NE(run.Generation(), generation);
}

}  // namespace
