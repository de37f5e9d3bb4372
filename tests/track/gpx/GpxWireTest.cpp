// SPDX-License-Identifier: GPL-3.0-or-later
#include "track/gpx/GpxWire.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

// Everything written to a pipe, read back whole.
std::vector<unsigned char> Written(const std::function<void(GpxAnswerWriter&)>& write) {
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    {
        GpxAnswerWriter writer(fds[1]);
        write(writer);
    }
    close(fds[1]);
    std::vector<unsigned char> bytes;
    unsigned char buffer[4096];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) {
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    close(fds[0]);
    return bytes;
}

TEST(GpxWire, KindsSegmentsAndFractionsCrossTheWireFedInAnyPieces) {
    TrackPoint point;
    point.latitude = 48.5;
    point.longitude = -11.25;
    point.time = CountToFileTime(128251748967890123);
    const std::vector<unsigned char> bytes = Written([&](GpxAnswerWriter& writer) {
        writer.Trace("gpx");
        writer.Point(point, PointKind::Waypoint, kNoSegment);
        writer.Point(point, PointKind::Track, 3);
        writer.Point(point, PointKind::Track, 3);
        writer.Point(point, PointKind::Route, 4);
        writer.End(4);
    });
    for (size_t piece : {size_t{1}, size_t{7}, bytes.size()}) {
        std::vector<std::string> traces;
        GpxAnswerReader reader(100, 10, [&traces](const std::string& t) { traces.push_back(t); });
        for (size_t at = 0; at < bytes.size(); at += piece) {
            reader.Feed(bytes.data() + at, std::min(piece, bytes.size() - at));
        }
        ASSERT_TRUE(reader.IsComplete()) << piece;
        const TrackLog& log = reader.Answer().log;
        ASSERT_EQ(log.Count(), 4u);
        EXPECT_EQ(log.Runs().size(), 3u);
        EXPECT_EQ(log.RunAt(0).kind, PointKind::Waypoint);
        EXPECT_EQ(log.RunAt(2).segment, 3);
        EXPECT_EQ(log.RunAt(3).kind, PointKind::Route);
        EXPECT_EQ(FileTimeToCount(log.At(3).time), 128251748967890123u);
        EXPECT_EQ(traces, std::vector<std::string>{"gpx"});
    }
}

}  // namespace
