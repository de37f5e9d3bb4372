// SPDX-License-Identifier: GPL-3.0-or-later
// GPX files in UTF-16 are read like their UTF-8 form; encodings that cannot be read say so.
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "track/gpx/GpxReader.h"
#include "track/gpx/reader/GpxEncoding.h"
#include "track/load/TrackLoad.h"

namespace {

const std::string kTrack =
    "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<gpx><trk><name>Lac d'Annecy \xC3\xA9t\xC3\xA9"
    "</name><trkseg>\n<trkpt lat=\"45.9\" lon=\"6.1\"><time>2024-07-14T10:00:00Z</time></trkpt>\n"
    "<trkpt lat=\"45.8\" lon=\"6.2\"><time>2024-07-14T10:01:00Z</time></trkpt>\n"
    "</trkseg></trk></gpx>\n";

}  // namespace

TEST(GpxEncoding, DetectedFromTheMarkOrTheFirstCharacters) {
    using namespace std::string_literals;
    EXPECT_EQ(DetectGpxEncoding("<?xml"), GpxEncoding::Bytes);
    EXPECT_EQ(DetectGpxEncoding("\xEF\xBB\xBF<?xml"), GpxEncoding::Bytes);
    EXPECT_EQ(DetectGpxEncoding(""), GpxEncoding::Bytes);
    EXPECT_EQ(DetectGpxEncoding("\xFF\xFE<\0"s), GpxEncoding::Utf16LittleEndian);
    EXPECT_EQ(DetectGpxEncoding("<\0?\0x\0"s), GpxEncoding::Utf16LittleEndian);
    EXPECT_EQ(DetectGpxEncoding("\xFE\xFF\0<"s), GpxEncoding::Utf16BigEndian);
    EXPECT_EQ(DetectGpxEncoding("\0<\0?\0x"s), GpxEncoding::Utf16BigEndian);
    EXPECT_EQ(DetectGpxEncoding("\xFF\xFE\0\0<\0\0\0"s), GpxEncoding::Utf32);
    EXPECT_EQ(DetectGpxEncoding("\0\0\0<\0\0\0?"s), GpxEncoding::Utf32);
    EXPECT_EQ(DetectGpxEncoding("\x4C\x6F\xA7\x94"), GpxEncoding::Ebcdic);
}

TEST(GpxEncoding, Utf16ConvertsToUtf8DeclaredAsSuch) {
    std::string utf8;
    EXPECT_EQ(ConvertUtf16Document(Utf16Text(kTrack, false, true), false, utf8), "");
    EXPECT_EQ(utf8, DeclareUtf8(kTrack));
    EXPECT_EQ(utf8.substr(0, 38), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    EXPECT_EQ(ConvertUtf16Document(Utf16Text(kTrack, true, false), true, utf8), "");
    EXPECT_EQ(utf8, DeclareUtf8(kTrack));
    // A surrogate pair becomes one four-byte character.
    using namespace std::string_literals;
    EXPECT_EQ(ConvertUtf16Document("<\0\x3D\xD8\x00\xDE>\0"s, false, utf8), "");
    EXPECT_EQ(utf8, "<\xF0\x9F\x98\x80>");
}

TEST(GpxEncoding, BrokenUtf16SaysWhere) {
    using namespace std::string_literals;
    std::string utf8;
    EXPECT_EQ(ConvertUtf16Document("\xFF\xFE<\0\x00\xDC>\0"s, false, utf8),
              "could not be parsed: not valid UTF-16 at byte 4");
    EXPECT_EQ(ConvertUtf16Document("<\0a"s, false, utf8),
              "could not be parsed: not valid UTF-16 at byte 2");
}

TEST(GpxEncoding, DeclarationRewrittenOnlyWhereItStands) {
    EXPECT_EQ(DeclareUtf8("<?xml version='1.0' encoding='utf-16' standalone='yes'?><gpx/>"),
              "<?xml version='1.0' encoding='UTF-8' standalone='yes'?><gpx/>");
    EXPECT_EQ(DeclareUtf8("<?xml version=\"1.0\"?><gpx encoding=\"x\"/>"),
              "<?xml version=\"1.0\"?><gpx encoding=\"x\"/>");
    EXPECT_EQ(DeclareUtf8("<gpx/>"), "<gpx/>");
}

TEST(GpxEncoding, Utf16FilesAreReadLikeTheirUtf8FormThroughTheReader) {
    TempDir dir;
    TrackLog reference;
    WriteFileText(dir.File("utf8.gpx"), kTrack);
    ASSERT_EQ(LoadTrackLog(dir.File("utf8.gpx"), reference).points, 2u);
    for (const bool bigEndian : {false, true}) {
        for (const bool withMark : {false, true}) {
            WriteFileText(dir.File("utf16.gpx"), Utf16Text(kTrack, bigEndian, withMark));
            TrackLog log;
            const TrackLoadReport report = LoadTrackLog(dir.File("utf16.gpx"), log);
            EXPECT_EQ(report.status.message(), "") << bigEndian << withMark;
            ASSERT_EQ(log.Count(), 2u);
            EXPECT_EQ(log.At(1).latitude, reference.At(1).latitude);
            EXPECT_EQ(FileTimeToCount(log.At(1).time), FileTimeToCount(reference.At(1).time));
        }
    }
}

TEST(GpxEncoding, UnreadableEncodingsAreNamedInTheProblem) {
    using namespace std::string_literals;
    TempDir dir;
    WriteFileText(dir.File("utf32.gpx"), "\xFF\xFE\0\0<\0\0\0?\0\0\0"s);
    TrackLog log;
    EXPECT_EQ(LoadTrackLog(dir.File("utf32.gpx"), log).status.message(),
              "could not be parsed: the file is encoded in UTF-32, which cannot be read (save it "
              "as UTF-8)");
    WriteFileText(dir.File("odd.gpx"), Utf16Text(kTrack, false, true) + "x");
    const TrackLoadReport odd = LoadTrackLog(dir.File("odd.gpx"), log);
    EXPECT_NE(odd.status.message().find("not valid UTF-16 at byte"), std::string::npos)
        << odd.status.message();
    EXPECT_TRUE(log.IsEmpty());
}
