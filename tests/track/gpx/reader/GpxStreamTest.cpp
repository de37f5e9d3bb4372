// SPDX-License-Identifier: GPL-3.0-or-later
// Streaming a GPX document's points: the rules the program has always read GPX by (which child
// node gives a value, how white space is condensed, which elements start segments, document
// order), however the bytes are split; an XML error says where it lies and keeps the points
// before it; deep nesting is refused.
#include <gtest/gtest.h>

#include <string>

#include "track/gpx/reader/GpxStream.h"

namespace {

// Streams `text` in pieces of `piece` bytes (all at once for 0).
std::string Read(const std::string& text, TrackLog& log, size_t piece = 0) {
    GpxStream stream(log, 256);
    const size_t step = piece == 0 ? text.size() + 1 : piece;
    for (size_t at = 0; at < text.size(); at += step) {
        const size_t size = std::min(step, text.size() - at);
        if (!stream.Feed(text.data() + at, size, at + size == text.size())) {
            return stream.Problem();
        }
    }
    if (text.empty()) {
        stream.Feed(text.data(), 0, true);
    }
    return stream.Problem();
}

std::string Point(const std::string& name, const std::string& inside,
                  const std::string& attributes = " lat=\"45.5\" lon=\"6.5\"") {
    return "<" + name + attributes + ">" + inside + "</" + name + ">";
}

const char kTime[] = "<time>2024-07-14T10:00:00Z</time>";

const char kPoints[] =
    "<?xml version=\"1.0\"?>\n<gpx><trk><trkseg>\r\n"
    "<trkpt lat=\"45.9\" lon=\"6.1\"><time>2024-07-14T10:00:00Z</time></trkpt>\n"
    "\t<trkpt lat=\"45.8\" lon=\"6.2\"><time>2024-07-14T10:01:00Z</time></trkpt>\n";

}  // namespace

TEST(GpxStream, AnErrorSaysWhereItLiesAndThePointsBeforeItAreKept) {
    struct Case {
        std::string tail;
        std::string problem;
        size_t points;
    };
    const Case cases[] = {
        {"\t\t<trkpt lat=\"1\" lon=\"2\"><time>2024-07-14T10:02:00Z</time></trkseg>",
         "could not be parsed: mismatched tag at line 5, column 61", 3},
        {"\t<trkpt lat=\"1\" lon=\"2\" <time>",
         "could not be parsed: not well-formed (invalid token) at line 5, column 25", 2},
        {"<name>\xC3\xA9t\xC3\xA9</name>\t<trkpt lat=\"1\" lon=\"2\" <time>",
         "could not be parsed: not well-formed (invalid token) at line 5, column 43", 2},
        {"", "could not be parsed: no element found at line 5, column 1", 2},
    };
    for (const Case& c : cases) {
        for (const size_t piece : {size_t{0}, size_t{1}, size_t{7}}) {
            TrackLog log;
            EXPECT_EQ(Read(kPoints + c.tail, log, piece), c.problem) << c.tail << piece;
            ASSERT_EQ(log.Count(), c.points) << c.tail;
            EXPECT_DOUBLE_EQ(log.At(1).longitude, 6.2);
        }
    }
    TrackLog whole;
    EXPECT_EQ(Read(std::string(kPoints) + "</trkseg></trk></gpx>\n", whole), "");
    EXPECT_EQ(whole.Count(), 2u);
}

TEST(GpxStream, TheFirstNodeOfTheFirstChildGivesTheValue) {
    struct Case {
        std::string inside;
        double elevation;  // kNoElevation: none
    };
    const Case cases[] = {
        {"<ele>  12.5 \n</ele>", 12.5},
        {"<ele>\n</ele>", kNoElevation},          // blank text is no node
        {"<ele/>", kNoElevation},                 // nor is nothing
        {"<ele><!-- 7 -->8</ele>", 7.0},          // a comment's text
        {"<ele><![CDATA[ 9.25 ]]></ele>", 9.25},  // CDATA as it is
        {"<ele><x>3</x></ele>", 0.0},             // an element's name, "x"
        {"<ele>4</ele><ele>5</ele>", 4.0},        // the first "ele" only
        {"<ele>1&#48;</ele>", 10.0},              // references resolved
        {"<ele>2 <!-- x --> 3</ele>", 2.0},       // text up to the markup
        {"<x><ele>6</ele></x>", kNoElevation},    // a grandchild is not a child
    };
    for (const Case& c : cases) {
        TrackLog log;
        EXPECT_EQ(Read("<gpx>" + Point("wpt", c.inside + kTime) + "</gpx>", log), "") << c.inside;
        ASSERT_EQ(log.Count(), 1u) << c.inside;
        EXPECT_EQ(log.At(0).elevation, c.elevation) << c.inside;
    }
    // A time that is not the first node, or is blank, leaves the point out.
    for (const std::string time :
         {"<time><!--x-->2024-07-14T10:00:00Z</time>", "<time> </time>", "<time/>", ""}) {
        TrackLog log;
        Read("<gpx>" + Point("trkpt", time) + "</gpx>", log);
        EXPECT_EQ(log.Count(), 0u) << time;
    }
    TrackLog condensed;
    Read("<gpx>" + Point("wpt", "<time>\n  2024-07-14\r\n\t10:00:05Z  </time>") + "</gpx>",
         condensed);
    ASSERT_EQ(condensed.Count(), 1u);
}

TEST(GpxStream, SegmentsKindsAndDocumentOrder) {
    const std::string text =
        "<gpx>" + Point("wpt", kTime) + Point("trkpt", kTime) +            // outside any segment: 0
        "<trk>" + Point("trkpt", kTime) +                                  // the trk's own: 1
        "<trkseg>" + Point("trkpt", kTime) + "</trkseg>" +                 // 2
        "<trkseg/><trkseg>" + Point("trkpt", kTime) + "</trkseg></trk>" +  // 3 is empty; 4
        "<rte>" + Point("rtept", Point("trkpt", kTime) + kTime) + "</rte>" +  // 5, outer first
        Point("trkpt", kTime, " lon=\"6\"") +                // no latitude: left out
        Point("trkpt", kTime, " lat=\"1e999\" lon=\"6\"") +  // not finite: left out
        Point("trkpt", kTime, " lat=\"91\" lon=\"6\"") +     // off the globe: left out
        "</gpx><!-- after -->";
    for (const size_t piece : {size_t{0}, size_t{3}}) {
        TrackLog log;
        EXPECT_EQ(Read(text, log, piece), "");
        ASSERT_EQ(log.Count(), 7u);
        const PointKind kinds[] = {PointKind::Waypoint, PointKind::Track, PointKind::Track,
                                   PointKind::Track,    PointKind::Track, PointKind::Route,
                                   PointKind::Track};
        const int32_t segments[] = {kNoSegment, 0, 1, 2, 4, 5, 5};
        for (size_t i = 0; i < 7; ++i) {
            EXPECT_EQ(log.RunAt(i).kind, kinds[i]) << i;
            EXPECT_EQ(log.RunAt(i).segment, segments[i]) << i;
        }
    }
    // A point at the top is no point: only what lies below the top element is read.
    TrackLog top;
    Read(Point("wpt", kTime), top);
    EXPECT_EQ(top.Count(), 0u);
}

TEST(GpxStream, ADeclaredEntityBreaksTheStreamOff) {
    TrackLog log;
    const std::string problem =
        Read("<!DOCTYPE gpx [<!ENTITY e \"5\">]><gpx>" +
                 Point("wpt", "<ele>&e;</ele>" + std::string(kTime)) + "</gpx>",
             log);
    EXPECT_EQ(problem.rfind("could not be parsed: ", 0), 0u) << problem;
    EXPECT_EQ(log.Count(), 0u);
}

TEST(GpxStream, BytesReadAsTheyAreAndDeepNestingIsRefused) {
    TrackLog log;
    // A byte-order mark, a declared single-byte encoding, and bytes that are not UTF-8.
    EXPECT_EQ(Read("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"windows-1252\"?><gpx>" +
                       Point("wpt", "<name>\x80\xFF</name>" + std::string(kTime)) + "</gpx>",
                   log),
              "");
    EXPECT_EQ(log.Count(), 1u);

    std::string deep = "<gpx>";
    for (int i = 0; i < 300; ++i) {
        deep += "<a>";
    }
    GpxStream stream(log, 256);
    EXPECT_FALSE(stream.Feed(deep.data(), deep.size(), true));
    EXPECT_TRUE(stream.TooDeep());
}
