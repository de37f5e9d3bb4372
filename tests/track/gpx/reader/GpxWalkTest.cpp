// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a GPX document's points: an XML error says where it lies, as TinyXML counts lines and
// columns (a tab to the next multiple of four), and the points before it are kept.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cstdio>
#include <string>

#include "track/gpx/reader/GpxWalk.h"

namespace {

// Reads `text` as the reader process reads its input: from an open file.
std::string Read(const std::string& text, TrackLog& log) {
    std::FILE* file = std::tmpfile();
    EXPECT_NE(file, nullptr);
    std::fwrite(text.data(), 1, text.size(), file);
    std::rewind(file);
    TiXmlDocument document;
    const std::string problem = ReadGpxDocument(file, document, log);
    std::fclose(file);
    return problem;
}

const char kPoints[] =
    "<?xml version=\"1.0\"?>\n<gpx><trk><trkseg>\r\n"
    "<trkpt lat=\"45.9\" lon=\"6.1\"><time>2024-07-14T10:00:00Z</time></trkpt>\n"
    "\t<trkpt lat=\"45.8\" lon=\"6.2\"><time>2024-07-14T10:01:00Z</time></trkpt>\n";

}  // namespace

TEST(GpxWalk, AnErrorSaysItsLineAndColumnAndThePointsBeforeItAreKept) {
    struct Case {
        std::string tail;
        std::string problem;
        size_t points;
    };
    const Case cases[] = {
        {"\t\t<trkpt lat=\"1\" lon=\"2\"><time>2024-07-14T10:02:00Z</time></trkseg>",
         "could not be parsed: Error reading end tag. at line 5, column 65", 3},
        {"\t<trkpt lat=\"1\" lon=\"2\" <time>",
         "could not be parsed: Error reading Attributes. at line 5, column 28", 2},
        {"<name>\xC3\xA9t\xC3\xA9</name>\t<trkpt lat=\"1\" lon=\"2\" <time>",
         "could not be parsed: Error reading Attributes. at line 5, column 44", 2},
    };
    for (const Case& c : cases) {
        TrackLog log;
        EXPECT_EQ(Read(kPoints + c.tail, log), c.problem) << c.tail;
        ASSERT_EQ(log.Count(), c.points) << c.tail;
        EXPECT_DOUBLE_EQ(log.At(1).longitude, 6.2);
    }
    TrackLog whole;
    EXPECT_EQ(Read(std::string(kPoints) + "</trkseg></trk></gpx>\n", whole), "");
    EXPECT_EQ(whole.Count(), 2u);
}
