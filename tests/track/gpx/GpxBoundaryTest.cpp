// SPDX-License-Identifier: GPL-3.0-or-later
// Files that once crashed, hung or misled the GPX reader, and the reader process misbehaving in
// every way the engine must survive.
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "TestSupport.h"
#include "track/gpx/GpxReader.h"
#include "track/gpx/GpxWire.h"
#include "track/load/TrackLoad.h"

namespace {

std::string Repeat(const std::string& text, int times) {
    std::string result;
    result.reserve(text.size() * static_cast<size_t>(times));
    for (int i = 0; i < times; ++i) {
        result += text;
    }
    return result;
}

std::string Points(int count) {
    std::string points;
    for (int i = 0; i < count; ++i) {
        points += "<trkpt lat=\"48." + std::to_string(i) + "\" lon=\"11.5\"><ele>500</ele>" +
                  "<time>2007-06-01T12:00:" + std::to_string(10 + i % 50) + "Z</time></trkpt>\n";
    }
    return points;
}

class GpxBoundary : public ::testing::Test {
protected:
    TrackLoadReport Load(const std::string& path, const GpxReadOptions& options = {}) {
        m_Log.Empty();
        return LoadTrackLog(path, m_Log, options);
    }
    TrackLoadReport LoadText(const std::string& text, const GpxReadOptions& options = {}) {
        const std::string path = m_Dir.File("track.gpx");
        WriteFileText(path, text);
        return Load(path, options);
    }
    // A stand-in for the reader process: a shell script with the given body.
    std::string FakeReader(const std::string& body) {
        const std::string path = m_Dir.File("fake-reader.sh");
        WriteFileText(path, "#!/bin/sh\n" + body + "\n");
        chmod(path.c_str(), 0755);
        return path;
    }
    GpxReadOptions WithReader(const std::string& body, double wallSeconds = 30.0) {
        GpxReadOptions options;
        options.readerPath = FakeReader(body);
        options.limits = GpxReaderLimits{256u << 20, 30, wallSeconds};
        return options;
    }
    // The answer bytes of a reader that read `points`, written to a file for a fake to send.
    std::string AnswerFile(const std::vector<TrackPoint>& points, uint64_t claimed) {
        const std::string path = m_Dir.File("answer-" + std::to_string(++m_Answers) + ".bin");
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        {
            GpxAnswerWriter writer(fd);
            for (const TrackPoint& point : points) {
                writer.Point(point, PointKind::Track, 0);
            }
            writer.End(claimed);
        }
        close(fd);
        return path;
    }

    TempDir m_Dir;
    int m_Answers = 0;
    TrackLog m_Log;
    ClosedLogAfterTest m_ClosedLog;
};

TEST_F(GpxBoundary, DeepNestingIsRefusedQuicklyWithAnErrorLine) {
    DebugCapture trace;
    EXPECT_TRUE(Log::Instance().Open(Debug, m_Dir.File("fenrik.log")).ok());
    const std::string deep = Repeat("<a>", 50000);
    // Each of these once slipped past a nesting check and overflowed the stack.
    const std::string gpx[] = {
        "<?x><gpx>" + deep,
        "<gpx><!-- x --->" + deep,
        "<gpx><![CDATA[x]]]>" + deep,
        Repeat("</a>", 60000) + Repeat("<a>", 60000),
        "<gpx>" + Repeat("<a x='>'><!-- </ --><![CDATA[</]]>", 200000),
    };
    const auto start = std::chrono::steady_clock::now();
    for (const std::string& text : gpx) {
        const TrackLoadReport report = LoadText(text);
        EXPECT_EQ(report.points, 0u);
        EXPECT_EQ(report.status.message(), "too deeply nested");
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    const std::string line = "GPX file " + m_Dir.File("track.gpx") + ": too deeply nested";
    EXPECT_NE(ReadFileText(m_Dir.File("fenrik.log")).find("[ERROR]>  " + line + "\n"),
              std::string::npos);
    EXPECT_NE(trace.Text().find(line + "\n"), std::string::npos);
}

TEST_F(GpxBoundary, PointsOffTheGlobeOrNotFiniteAreDiscardedWithATrace) {
    DebugCapture trace;
    const TrackLoadReport report = LoadText(R"(<gpx>
        <wpt lat="nan" lon="11"><time>2007-06-01T12:00:00Z</time></wpt>
        <wpt lat="48" lon="inf"><time>2007-06-01T12:00:01Z</time></wpt>
        <wpt lat="48" lon="11"><ele>-inf</ele><time>2007-06-01T12:00:02Z</time></wpt>
        <wpt lat="90.0001" lon="11"><time>2007-06-01T12:00:03Z</time></wpt>
        <wpt lat="48" lon="-180.5"><time>2007-06-01T12:00:04Z</time></wpt>
        <wpt lat="-90" lon="180"><ele>1e308</ele><time>2007-06-01T12:00:05Z</time></wpt>
        <wpt lat="1e999" lon="11"><time>2007-06-01T12:00:06Z</time></wpt>
    </gpx>)");
    EXPECT_TRUE(report.status.message().empty());
    ASSERT_EQ(m_Log.Count(), 1u);
    EXPECT_EQ(m_Log.At(0).latitude, -90.0);
    EXPECT_EQ(m_Log.At(0).longitude, 180.0);
    EXPECT_NE(trace.Text().find("Point discarded: a coordinate is not a finite number\n"),
              std::string::npos);
    EXPECT_NE(trace.Text().find("Point discarded: the elevation is not a finite number\n"),
              std::string::npos);
    EXPECT_NE(trace.Text().find("Point discarded: the latitude lies outside -90..90\n"),
              std::string::npos);
}

TEST_F(GpxBoundary, OnlyRegularFilesAreRead) {
    const std::string fifo = m_Dir.File("fifo.gpx");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string socketPath = m_Dir.File("socket.gpx");
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    for (const std::string& path : {fifo, socketPath, std::string("/dev/zero")}) {
        const TrackLoadReport report = Load(path);
        EXPECT_EQ(report.status.message(), "not a regular file") << path;
        EXPECT_TRUE(m_Log.IsEmpty());
    }
    // A folder is a folder of tracks, whose FIFO and socket are passed over, not waited on.
    EXPECT_EQ(Load(m_Dir.Path()).status.message(), "no GPX files in the folder");
    close(listener);
    EXPECT_EQ(Load(m_Dir.File("missing.gpx")).status.message(),
              "cannot be opened: No such file or directory");
    EXPECT_EQ(Load("").status.message(), "no GPX file chosen");
}

TEST_F(GpxBoundary, AHugeSparseFileIsRefusedBeforeReading) {
    const std::string path = m_Dir.File("sparse.gpx");
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(ftruncate(fd, off_t{1} << 40), 0);  // a terabyte of nothing
    close(fd);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Load(path).status.message(), "too large for the memory available");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(GpxBoundary, AWholeDocumentStreamsInLittleMemoryABrokenOneNeedsItsTree) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address-space limit is not set under AddressSanitizer";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    GTEST_SKIP() << "the address-space limit is not set under AddressSanitizer";
#endif
#endif
    GpxReadOptions options;
    options.limits = GpxReaderLimits{96u << 20, 30, 60.0};
    // Streamed, the elements cost nothing once read; a broken document is read whole as a
    // tree, where each four-byte element costs far more than sixteen bytes.
    const std::string elements = "<gpx>" + Repeat("<a/>", 1400000);
    EXPECT_TRUE(LoadText(elements + Points(3) + "</gpx>", options).status.ok());
    EXPECT_EQ(m_Log.Count(), 3u);
    const TrackLoadReport broken = LoadText(elements + Points(3) + "</gpz>", options);
    EXPECT_EQ(broken.status.message(), "too large for the memory available");
    EXPECT_EQ(m_Log.Count(), 0u);
}

TEST_F(GpxBoundary, ACutOffFileKeepsThePointsBeforeTheCut) {
    const std::string whole = "<gpx><trk><trkseg>\n" + Points(100) + "</trkseg></trk></gpx>\n";
    const size_t cut = whole.find("<trkpt lat=\"48.60\"") + 40;
    const TrackLoadReport report = LoadText(whole.substr(0, cut));
    EXPECT_EQ(report.points, 60u);
    EXPECT_EQ(m_Log.Count(), 60u);
    EXPECT_EQ(report.status.message().rfind("could not be parsed: ", 0), 0u)
        << report.status.message();
}

TEST_F(GpxBoundary, AReaderThatCrashesOrAnswersWronglyGivesNoPoints) {
    const std::string gpx = m_Dir.File("one.gpx");
    WriteFileText(gpx, "<gpx>" + Points(1) + "</gpx>");
    TrackPoint offGlobe;
    offGlobe.latitude = 91.0;
    const std::string cases[][2] = {
        {"kill -SEGV $$", "could not be parsed: the reader ended with SIGSEGV"},
        {"exit 7", "could not be parsed: the reader ended with status 7"},
        {"printf 'Q'", "could not be parsed: the reader's answer was malformed"},
        {"printf 'T\\377\\377\\377\\377'",
         "could not be parsed: the reader's answer was malformed"},
        {"cat " + AnswerFile({TrackPoint{}}, 2),
         "could not be parsed: the reader's answer was malformed"},
        {"cat " + AnswerFile({offGlobe}, 1),
         "could not be parsed: the reader's answer was malformed"},
        {"cat " + AnswerFile({TrackPoint{}, TrackPoint{}}, 2) + "; printf 'E'",
         "could not be parsed: the reader's answer was malformed"},
        {"printf 'P'", "could not be parsed: the reader's answer was malformed"},
        // A run record of no known kind, and a waypoint that claims a segment.
        {"printf 'R\\011\\000\\000\\000\\000'",
         "could not be parsed: the reader's answer was malformed"},
        {"printf 'R\\000\\000\\000\\000\\000'",
         "could not be parsed: the reader's answer was malformed"},
    };
    for (const auto& [body, problem] : cases) {
        const TrackLoadReport report = Load(gpx, WithReader(body));
        EXPECT_EQ(report.status.message(), problem) << body;
        EXPECT_TRUE(m_Log.IsEmpty()) << body;
    }
    GpxReadOptions missing;
    missing.readerPath = m_Dir.File("no-such-reader");
    EXPECT_EQ(Load(gpx, missing).status.message(),
              "could not be parsed: the GPX reader could not be started: No such file or "
              "directory");
}

TEST_F(GpxBoundary, AReaderThatHangsIsKilledAtItsTimeLimit) {
    const std::string gpx = m_Dir.File("one.gpx");
    WriteFileText(gpx, "<gpx>" + Points(1) + "</gpx>");
    const auto start = std::chrono::steady_clock::now();
    const TrackLoadReport report = Load(gpx, WithReader("exec sleep 60", 0.5));
    EXPECT_EQ(report.status.message(), "could not be parsed within 0.5 s");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST_F(GpxBoundary, AStopRequestAbandonsTheLoadQuietly) {
    const std::string gpx = m_Dir.File("one.gpx");
    WriteFileText(gpx, "<gpx>" + Points(1) + "</gpx>");
    EXPECT_TRUE(Log::Instance().Open(Debug, m_Dir.File("fenrik.log")).ok());
    std::atomic<bool> stop{false};
    GpxReadOptions options = WithReader("exec sleep 60");
    options.stop = &stop;
    std::thread stopper([&stop] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        stop = true;
    });
    const auto start = std::chrono::steady_clock::now();
    const TrackLoadReport report = Load(gpx, options);
    stopper.join();
    EXPECT_EQ(report.status.code(), StatusCode::Stopped);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(ReadFileText(m_Dir.File("fenrik.log")), "");
}

TEST_F(GpxBoundary, AReaderBusyPastItsProcessorTimeIsStopped) {
    // The fake limits itself to the processor time it is handed, as the reader does, and then
    // spins: busy by construction, however fast the machine parses.
    GpxReadOptions options = WithReader(
        "while [ $# -gt 0 ]; do [ \"$1\" = --cpu ] && ulimit -S -t \"$2\"; shift; done\n"
        "while :; do :; done",
        600.0);
    options.limits->cpuSeconds = 1;
    const TrackLoadReport report = LoadText("<gpx>" + Points(3) + "</gpx>", options);
    EXPECT_EQ(report.status.message(), "could not be parsed within 1 s of processor time");
    EXPECT_TRUE(m_Log.IsEmpty());
}

}  // namespace

// A folder of many small tracks takes few reader processes, and every failure among them is
// still reported with its own file: an empty one (which starts no reader at all) and one that
// ends its batch's reader, after which the rest are read in a batch of their own.
TEST_F(GpxBoundary, ManySmallFilesShareReadersAndEachFailureIsItsFileOwn) {
    const std::string folder = m_Dir.File("tracks");
    std::filesystem::create_directories(folder);
    for (int i = 0; i < 300; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/%03d.gpx", i);
        WriteFileText(folder + name, "<gpx>" + Points(1) + "</gpx>");
    }
    WriteFileText(folder + "/010-empty.gpx", "");
    std::string deep;
    for (int i = 0; i < 300; ++i) {
        deep += "<a>";
    }
    WriteFileText(folder + "/020-deep.gpx", deep);
    const std::string starts = m_Dir.File("starts");
    GpxReadOptions options =
        WithReader("echo >> '" + starts + "'; exec '" + DefaultGpxReaderPath() + "' \"$@\"");
    EXPECT_TRUE(Log::Instance().Open(Error, m_Dir.File("fenrik.log")).ok());
    const TrackLoadReport report = Load(folder, options);
    Log::Instance().Close();
    EXPECT_EQ(report.points, 300u);
    EXPECT_EQ(report.files, 302u);
    EXPECT_EQ(report.failedFiles, 2u);
    const std::string log = ReadFileText(m_Dir.File("fenrik.log"));
    EXPECT_NE(log.find("GPX file " + folder + "/010-empty.gpx: could not be parsed"),
              std::string::npos);
    EXPECT_NE(log.find("GPX file " + folder + "/020-deep.gpx: too deeply nested"),
              std::string::npos)
        << log;
    // The first batch, which ends at the deep file; that file alone; the rest of that batch;
    // the last files.
    EXPECT_EQ(SplitLines(ReadFileText(starts)).size(), 4u);
}
