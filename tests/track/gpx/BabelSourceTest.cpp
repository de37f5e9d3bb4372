// SPDX-License-Identifier: GPL-3.0-or-later
// Other loggers' formats read through GPSBabel: each file gives exactly the points of GPSBabel's
// own GPX of it, a folder mixes them with GPX files, and a missing GPSBabel or a file it cannot
// read is reported for that file alone.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "PointLines.h"
#include "TestSupport.h"
#include "track/gpx/BabelFormats.h"
#include "track/load/TrackLoad.h"

namespace {

// PATH set to a folder without gpsbabel while it lives.
class NoGpsBabel {
public:
    NoGpsBabel() : m_Saved(std::getenv("PATH")) { setenv("PATH", m_Empty.Path().c_str(), 1); }
    ~NoGpsBabel() { setenv("PATH", m_Saved.c_str(), 1); }

private:
    std::string m_Saved;
    TempDir m_Empty;
};

class BabelSource : public ::testing::Test {
protected:
    std::string Copy(const std::string& sample, const std::string& name) {
        const std::string path = m_Dir.File(name);
        CopyFile(SamplePath("tracks/" + sample), path);
        return path;
    }
    TrackLoadReport Load(const std::string& path, TrackLog& log,
                         const TrackReadOptions& options = {}) {
        return LoadTrackLog(path, log, options);
    }

    TempDir m_Dir;
    ClosedLogAfterTest m_CloseLog;
};

TEST_F(BabelSource, EachFormatGivesThePointsOfGpsBabelsOwnGpx) {
    ASSERT_FALSE(GpsBabelPath().empty()) << "the tests need gpsbabel installed";
    struct Case {
        const char* file;
        const char* gpx;
        const char* label;
        size_t points;  // at least
    };
    const Case cases[] = {
        {"garmin-edge-800.fit", "garmin-edge-800-output.gpx", "FIT", 100},
        {"history.tcx", "history~tcx.gpx", "TCX", 100},
        {"google_ext.kml", "google_ext~kml.gpx", "KML", 100},
        {"google_ext.kmz", "google_ext~kml.gpx", "KMZ", 100},  // the same KML, zipped
        {"igc2.igc", "igc2~igc.gpx", "IGC", 10},
        {"nmea", "nmea.gpx", "NMEA", 100},  // no extension: known by its sentences
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        TrackLog converted;
        const TrackLoadReport report = Load(Copy(c.file, c.file), converted);
        EXPECT_TRUE(report.status.ok()) << report.status.message();
        TrackLog reference;
        Load(Copy(c.gpx, "reference.gpx"), reference);
        EXPECT_GE(converted.Count(), c.points);
        EXPECT_EQ(report.points, converted.Count());
        EXPECT_EQ(PointLines(converted), PointLines(reference));
        ASSERT_EQ(converted.Origins().size(), 1u);
        EXPECT_EQ(converted.Origins()[0].format, c.label);
    }
}

TEST_F(BabelSource, IgcGivesItsBarometricAndGpsTracksAsSegments) {
    TrackLog log;
    Load(Copy("igc2.igc", "flight.IGC"), log);  // the extension in any letter case
    size_t tracks = 0;
    for (const TrackRun& run : log.Runs()) {
        tracks += run.kind == PointKind::Track ? 1 : 0;
    }
    EXPECT_EQ(tracks, 2u);
}

TEST_F(BabelSource, AFolderReadsEveryKindInNameOrder) {
    Copy("history.tcx", "b.tcx");
    Copy("garmin-edge-800.fit", "a.fit");
    CopyFile(SamplePath("gpx/Mojstrovka.gpx"), m_Dir.File("c.gpx"));
    WriteFileText(m_Dir.File("notes.txt"), "not a track");
    EXPECT_EQ(TrackFileNamesIn(m_Dir.Path()),
              (std::vector<std::string>{"a.fit", "b.tcx", "c.gpx"}));
    TrackLog log;
    const TrackLoadReport report = Load(m_Dir.Path(), log);
    EXPECT_TRUE(report.status.ok()) << report.status.message();
    EXPECT_EQ(report.files, 3u);
    ASSERT_EQ(log.Origins().size(), 3u);
    EXPECT_EQ(log.Origins()[0].format, "FIT");
    EXPECT_EQ(log.Origins()[1].format, "TCX");
    EXPECT_EQ(log.Origins()[2].format, "GPX");
}

TEST_F(BabelSource, WithoutGpsBabelEachFileSaysWhatItNeedsAndTheRestAreRead) {
    const std::string fit = Copy("garmin-edge-800.fit", "ride.fit");
    const std::string kml = Copy("google_ext.kml", "walk.kml");
    CopyFile(SamplePath("gpx/Mojstrovka.gpx"), m_Dir.File("z.gpx"));
    const NoGpsBabel missing;
    DebugCapture trace;
    TrackLog log;
    const TrackLoadReport report = Load(m_Dir.Path(), log);
    EXPECT_EQ(report.files, 3u);
    EXPECT_EQ(report.failedFiles, 2u);
    EXPECT_GT(report.points, 0u);
    EXPECT_EQ(report.status.message(),
              "ride.fit: reading .fit files needs GPSBabel (Debian package gpsbabel)");
    EXPECT_NE(trace.Text().find(fit + ": reading .fit files needs GPSBabel"), std::string::npos);
    EXPECT_NE(trace.Text().find(kml + ": reading .kml files needs GPSBabel"), std::string::npos);
}

TEST_F(BabelSource, FilesGpsBabelCannotReadAreRefusedWithItsReason) {
    struct Case {
        const char* name;
        std::string content;
        const char* problem;  // the start of it
    };
    const std::string fit = ReadFileText(SamplePath("tracks/garmin-edge-800.fit"));
    const Case cases[] = {
        {"junk.fit", std::string(5000, '\xA5'), "GPSBabel could not convert it: "},
        {"empty.tcx", "", "GPSBabel "},
        {"truncated.fit", fit.substr(0, fit.size() / 2), ""},
        {"wrong-type.kml",
         "<kml><Document><Placemark><Point><coordinates>north,east"
         "</coordinates></Point></Placemark></Document></kml>",
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = m_Dir.File(c.name);
        WriteFileText(path, c.content);
        TrackLog log;
        DebugCapture trace;
        const TrackLoadReport report = Load(path, log);
        EXPECT_EQ(report.points, log.Count());
        if (!report.status.ok()) {
            EXPECT_EQ(report.status.message().rfind(c.problem, 0), 0u) << report.status.message();
            const std::string label = BabelFormatForName(c.name)->label;
            EXPECT_NE(trace.Text().find(label + " file " + path + ": "), std::string::npos);
        } else {
            EXPECT_EQ(std::string(c.problem), "");
        }
    }
}

// A zip archive of one stored entry; `method` 8 claims it is deflated.
std::string Zip(const std::string& name, const std::string& data, uint16_t method = 0) {
    auto le = [](uint32_t value, int bytes) {
        std::string text;
        for (int i = 0; i < bytes; ++i) {
            text += static_cast<char>(value >> (8 * i) & 0xFF);
        }
        return text;
    };
    const uint32_t size = static_cast<uint32_t>(data.size());
    const uint16_t length = static_cast<uint16_t>(name.size());
    const std::string local = le(0x04034b50, 4) + le(20, 2) + le(0, 2) + le(method, 2) + le(0, 4) +
                              le(0, 4) + le(size, 4) + le(size, 4) + le(length, 2) + le(0, 2) +
                              name + data;
    const std::string central = le(0x02014b50, 4) + le(20, 2) + le(20, 2) + le(0, 2) +
                                le(method, 2) + le(0, 4) + le(0, 4) + le(size, 4) + le(size, 4) +
                                le(length, 2) + le(0, 2) + le(0, 2) + le(0, 2) + le(0, 2) +
                                le(0, 4) + le(0, 4) + name;
    return local + central + le(0x06054b50, 4) + le(0, 2) + le(0, 2) + le(1, 2) + le(1, 2) +
           le(static_cast<uint32_t>(central.size()), 4) +
           le(static_cast<uint32_t>(local.size()), 4) + le(0, 2);
}

TEST_F(BabelSource, AKmzGivesItsKmlDocumentOrSaysWhatIsWrongWithIt) {
    const std::string kml = ReadFileText(SamplePath("tracks/google_ext.kml"));
    struct Case {
        const char* name;
        std::string content;
        const char* problem;  // empty: read whole
    };
    const Case cases[] = {
        {"stored.kmz", Zip("files/Doc.KML", kml), ""},
        {"text.kmz", kml, "could not be parsed: not a zip archive"},
        {"images.kmz", Zip("files/pin.png", "PNG"),
         "could not be parsed: no KML document in the archive"},
        {"damaged.kmz", Zip("doc.kml", "\xFF\xFF\xFF\xFF", 8),
         "could not be parsed: the KML document is damaged"},
        {"cut.kmz", Zip("doc.kml", kml).substr(0, kml.size() / 2),
         "could not be parsed: not a zip archive"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = m_Dir.File(c.name);
        WriteFileText(path, c.content);
        TrackLog log;
        const TrackLoadReport report = Load(path, log);
        EXPECT_EQ(report.status.message(), c.problem);
        EXPECT_EQ(log.IsEmpty(), std::string(c.problem) != "");
    }
}

TEST_F(BabelSource, AFifoIsNeverOpenedASparseFileEndsQuicklyAndAStopReadsNothing) {
    const std::string fifo = m_Dir.File("pipe.fit");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    TrackLog log;
    EXPECT_EQ(Load(fifo, log).status.message(), "not a regular file");

    const std::string sparse = m_Dir.File("sparse.fit");
    WriteFileText(sparse, ReadFileText(SamplePath("tracks/garmin-edge-800.fit")).substr(0, 14));
    ASSERT_EQ(truncate(sparse.c_str(), off_t{2} << 30), 0);  // a header, then 2 GB of zeros
    EXPECT_FALSE(Load(sparse, log).status.ok());
    EXPECT_TRUE(log.IsEmpty());

    const std::atomic<bool> stop{true};
    TrackReadOptions options;
    options.stop = &stop;
    const TrackLoadReport stopped = Load(Copy("history.tcx", "run.tcx"), log, options);
    EXPECT_EQ(stopped.status.code(), StatusCode::Stopped);
    EXPECT_TRUE(log.IsEmpty());
}

TEST(BabelFormats, NamesAndContentsThatTellTheFormat) {
    EXPECT_STREQ(BabelFormatForName("Ride.FIT")->name, "garmin_fit");
    EXPECT_STREQ(BabelFormatForName("a.b.tcx")->label, "TCX");
    EXPECT_EQ(BabelFormatForName("fit"), nullptr);
    EXPECT_EQ(BabelFormatForName(".fit"), nullptr);
    EXPECT_EQ(BabelFormatForName("log.csv"), nullptr);  // more than one format is called so
    EXPECT_EQ(BabelFormatForName("track.gpx"), nullptr);
    EXPECT_EQ(BabelFormatForName("history.json"), nullptr);
    EXPECT_STREQ(BabelFormatForContent("\r\n$GPRMC,120000,A,4807.038,N")->label, "NMEA");
    EXPECT_STREQ(BabelFormatForContent("$GNGGA,1")->label, "NMEA");
    EXPECT_EQ(BabelFormatForContent("GPRMC"), nullptr);
    EXPECT_EQ(BabelFormatForContent(""), nullptr);
}

}  // namespace
