// SPDX-License-Identifier: GPL-3.0-or-later
// A whole tagging pass reporting to recorded events, without any window.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <thread>

#include "EngineFixture.h"
#include "JpegFixtures.h"
#include "TestSupport.h"
#include "durable/TemporaryFile.h"

namespace {

class RecordingEvents : public TaggingRunEvents {
public:
    void RunStarted() override { calls.push_back("started"); }
    void RunProgressed(const RunSummary& counts) override {
        calls.push_back("progress");
        if (throwOnProgress) {
            throw std::runtime_error("broken receiver");
        }
        progress.push_back(RunningCountText(counts));
    }
    void RunFinished(const RunSummary& summary) override {
        calls.push_back("finished");
        summaries.push_back(summary);
    }

    bool throwOnProgress = false;
    std::vector<std::string> calls;
    std::vector<std::string> progress;
    std::vector<RunSummary> summaries;
};

class TaggingRun : public ::testing::Test {
protected:
    void Run(const std::string& gpxPath) {
        inputs.gpxPath = gpxPath;
        engine.RunTaggingPass(view, inputs);
    }

    TempDir dir;
    TestEngine engine;
    TaggingRunInputs inputs;
    RecordingEvents view;
    ClosedLogAfterTest closeLog;
};

TEST_F(TaggingRun, NoGpxFileVisitsEveryFolderAndEndsDone) {
    inputs.hotFolderOn = {true, true, true, true};
    engine.settings.m_HotFolder1 = dir.Path();
    const std::string photo = dir.File("a.jpg");
    WriteJpegWithExif(photo, {{"Exif.Photo.DateTimeDigitized", "2007:06:01 13:05:30"}});
    const std::string before = ReadFileText(photo);
    Run("");
    EXPECT_EQ(ReadFileText(photo), before);
    const std::vector<std::string> expected = {"started", "progress", "progress",
                                               "progress",  // the one photo
                                               "finished"};
    EXPECT_EQ(view.calls, expected);
}

TEST_F(TaggingRun, OnlyEnabledFoldersAreProcessedInOrder) {
    inputs.hotFolderOn[1] = inputs.hotFolderOn[3] = true;
    for (int n = 1; n <= 4; ++n) {
        engine.settings.HotFolder(n) = dir.File("folder" + std::to_string(n));
    }
    engine.settings.m_UseLogfile = 1;
    EXPECT_TRUE(Log::Instance().Open(Debug, dir.File("fenrik.log")).ok());
    Run("");
    const std::string log = ReadFileText(dir.File("fenrik.log"));
    const auto second = log.find("folder2");
    const auto fourth = log.find("folder4");
    EXPECT_NE(second, std::string::npos);
    EXPECT_NE(fourth, std::string::npos);
    EXPECT_LT(second, fourth);
    EXPECT_EQ(log.find("folder1"), std::string::npos);
    EXPECT_EQ(log.find("folder3"), std::string::npos);
}

TEST_F(TaggingRun, EachRunUsesOnlyItsOwnGpxFile) {
    const std::string first = dir.File("first.gpx");
    const std::string second = dir.File("second.gpx");
    WriteFileText(first, R"(<gpx><wpt lat="1" lon="1"><time>2007-06-01T12:00:00Z</time></wpt>
                            <wpt lat="2" lon="2"><time>2007-06-01T12:00:01Z</time></wpt></gpx>)");
    WriteFileText(second,
                  R"(<gpx><wpt lat="3" lon="3"><time>2007-06-01T12:00:00Z</time></wpt></gpx>)");
    Run(first);
    EXPECT_EQ(engine.Track().Count(), 2u);
    Run(second);
    ASSERT_EQ(engine.Track().Count(), 1u);
    EXPECT_EQ(engine.Track().At(0).latitude, 3);
}

TEST_F(TaggingRun, AnUnreadableGpxPathIsAnErrorLineAndTheRunGoesOn) {
    const std::string fifo = dir.File("track.gpx");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    inputs.hotFolderOn[0] = true;
    engine.settings.m_HotFolder1 = dir.Path();
    engine.settings.m_UseLogfile = 1;
    EXPECT_TRUE(Log::Instance().Open(Debug, dir.File("fenrik.log")).ok());
    for (const std::string& gpx : {dir.Path(), fifo, std::string("/dev/zero")}) {
        view.calls.clear();
        Run(gpx);
        EXPECT_EQ(view.calls.back(), "finished") << gpx;
        const std::string log = ReadFileText(dir.File("fenrik.log"));
        // The folder's only .gpx entry is the FIFO, which is passed over.
        const std::string problem =
            gpx == dir.Path() ? "no GPX files in the folder" : "not a regular file";
        EXPECT_NE(log.find("[ERROR]>  GPX file " + gpx + ": " + problem + "\n"), std::string::npos);
        EXPECT_NE(log.find("ProcessHotFolder:"), std::string::npos);  // the folder was visited
    }
}

TEST_F(TaggingRun, TheRunReportsItsEndWhateverFails) {
    view.throwOnProgress = true;
    Run("");
    EXPECT_EQ(view.calls, (std::vector<std::string>{"started", "progress", "finished"}));
}

TEST_F(TaggingRun, StopRequestSkipsRemainingFolders) {
    inputs.hotFolderOn = {true, true, true, true};
    engine.RequestStop();
    Run("");
    const std::vector<std::string> expected = {"started", "progress", "progress", "finished"};
    EXPECT_EQ(view.calls, expected);
}

TEST_F(TaggingRun, SummaryCountsWhatBecameOfEachPhoto) {
    inputs.hotFolderOn[0] = inputs.hotFolderOn[2] = true;
    const std::string folder = dir.File("photos");
    std::filesystem::create_directories(folder);
    engine.settings.m_HotFolder1 = folder;
    engine.settings.m_HotFolder3 = dir.File("no such folder");
    engine.settings.m_ToleranceMinutes = "2";
    engine.settings.m_BiasInMinutes = -60;
    WriteJpegWithExif(folder + "/matches.jpg",
                      {{"Exif.Photo.DateTimeDigitized", "2007:06:01 13:05:30"}});
    WriteJpegWithExif(folder + "/too_late.jpg",
                      {{"Exif.Photo.DateTimeDigitized", "2007:06:01 18:00:00"}});
    WriteJpegWithExif(folder + "/no_date.jpg",
                      {{"Exif.Photo.DateTimeDigitized", "2007:13:45 25:61:00"}});
    WriteFileText(folder + "/broken.jpg", "not a picture");
    const std::string gpx = dir.File("track.gpx");
    WriteFileText(gpx, R"(<gpx><trk><trkseg><trkpt lat="48.137154" lon="11.575382">
        <time>2007-06-01T12:04:50Z</time></trkpt></trkseg></trk></gpx>)");
    EXPECT_TRUE(Log::Instance().Open(Debug, dir.File("fenrik.log")).ok());

    Run(gpx);

    ASSERT_EQ(view.summaries.size(), 1u);
    const RunSummary& s = view.summaries[0];
    EXPECT_EQ(s.folders, 2);
    EXPECT_EQ(s.photos, 4u);
    EXPECT_EQ(s.checked, 4u);
    EXPECT_EQ(s.tagged, 1u);
    EXPECT_EQ(s.noMatch, 1u);
    EXPECT_EQ(s.noCaptureTime, 1u);
    EXPECT_EQ(s.skipped, 1u);
    EXPECT_EQ(s.gpxPoints, 1u);
    EXPECT_EQ(s.gpxProblem, "");
    EXPECT_FALSE(s.stopped);
    const std::string expected =
        "Last run: 4 photos checked in 2 folders; 1 tagged; 1 with no track point within 0 h "
        "2 min; 1 with no valid capture time; 1 skipped (see the log); 1 folder could not be "
        "read; GPX: 1 point";
    EXPECT_EQ(RunSummaryText(s), expected);

    const std::vector<std::string> progress = {
        "Tagging: reading the GPX file",  "Tagging: 0 of 4 photos checked",
        "Tagging: 1 of 4 photos checked", "Tagging: 2 of 4 photos checked",
        "Tagging: 3 of 4 photos checked", "Tagging: 4 of 4 photos checked"};
    EXPECT_EQ(view.progress, progress);

    const std::vector<std::string> lines = SplitLines(ReadFileText(dir.File("fenrik.log")));
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines.back().find(std::string("[INFO]>   ") + expected), std::string::npos)
        << lines.back();
}

TEST_F(TaggingRun, APhotoItsBatchLeftAsItWasCountsAsSkipped) {
    inputs.hotFolderOn[0] = true;
    engine.settings.m_HotFolder1 = dir.Path();
    engine.settings.m_ToleranceMinutes = "2";
    engine.settings.m_BiasInMinutes = -60;
    const std::string photo = dir.File("changes.jpg");
    WriteJpegWithExif(photo, {{"Exif.Photo.DateTimeDigitized", "2007:06:01 13:05:30"}});
    const std::string gpx = dir.File("track.gpx");
    WriteFileText(gpx, R"(<gpx><wpt lat="48.137154" lon="11.575382">
        <time>2007-06-01T12:04:50Z</time></wpt></gpx>)");
    std::thread writer;
    engine.SetWriteFaultHook([&](const std::string& step) {
        if (step == "sync" && !writer.joinable()) {  // another program writes to the photo
            writer = std::thread([&] { WriteFileText(photo, "replaced by another program"); });
            EXPECT_TRUE(WaitUntilALeaseIsBreaking(photo));  // the writer waits in its open
        }
        return true;
    });
    Run(gpx);
    engine.SetWriteFaultHook(nullptr);
    writer.join();
    EXPECT_EQ(ReadFileText(photo), "replaced by another program");
    ASSERT_EQ(view.summaries.size(), 1u);
    EXPECT_EQ(view.summaries[0].tagged, 0u);
    EXPECT_EQ(view.summaries[0].skipped, 1u);
    EXPECT_EQ(view.progress.back(), "Tagging: 1 of 1 photo checked");
}

TEST_F(TaggingRun, SummarySaysWhyNoPointWasRead) {
    Run("");
    ASSERT_EQ(view.summaries.size(), 1u);
    EXPECT_EQ(view.summaries[0].gpxPoints, 0u);
    EXPECT_EQ(view.summaries[0].gpxProblem, "no GPX file chosen");
    EXPECT_EQ(RunSummaryText(view.summaries[0]),
              "Last run: no hot folder was on; GPX: no points (no GPX file chosen)");
}

TEST_F(TaggingRun, StoppedRunSaysSo) {
    inputs.hotFolderOn[0] = true;
    engine.settings.m_HotFolder1 = dir.Path();
    WritePlainJpeg(dir.File("a.jpg"));
    engine.RequestStop();
    Run("");
    ASSERT_EQ(view.summaries.size(), 1u);
    EXPECT_TRUE(view.summaries[0].stopped);
    EXPECT_EQ(view.summaries[0].checked, 0u);
    EXPECT_EQ(RunSummaryText(view.summaries[0]),
              "Last run: stopped before any hot folder was read; GPX: no points (no GPX file "
              "chosen)");
}

}  // namespace

namespace {

TEST_F(TaggingRun, AHotFolderThatCannotBeReadIsAnErrorLineAndCounted) {
    inputs.hotFolderOn = {true, true, true, false};
    engine.settings.m_HotFolder1 = dir.File("gone");
    engine.settings.m_HotFolder2 = dir.Path();
    const std::string notAFolder = dir.File("file.txt");
    WriteFileText(notAFolder, "x");
    engine.settings.m_HotFolder3 = notAFolder;
    EXPECT_TRUE(Log::Instance().Open(Debug, dir.File("fenrik.log")).ok());  // logging setting off
    Run("");
    const std::string log = ReadFileText(dir.File("fenrik.log"));
    EXPECT_NE(
        log.find("[ERROR]>  Hot folder 1 (" + dir.File("gone") + "): No such file or directory\n"),
        std::string::npos)
        << log;
    EXPECT_NE(log.find("[ERROR]>  Hot folder 3 (" + notAFolder + "): Not a directory\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(log.find("Hot folder 2"), std::string::npos);
    ASSERT_EQ(view.summaries.size(), 1u);
    EXPECT_EQ(view.summaries[0].folders, 3);
    EXPECT_EQ(view.summaries[0].foldersUnread, 2);
    EXPECT_NE(RunSummaryText(view.summaries[0]).find("2 folders could not be read"),
              std::string::npos);
}

class RerunOverATaggedFolder : public TaggingRun {
protected:
    void SetUp() override {
        inputs.hotFolderOn[0] = true;
        engine.settings.m_HotFolder1 = dir.Path();
        engine.settings.m_ToleranceMinutes = "2";
        gpx = dir.File("track.gpx");
        WriteFileText(gpx, R"(<gpx><trk><trkseg><trkpt lat="-33.8568" lon="151.2153">
            <ele>-3.5</ele><time>2007-06-01T12:04:50Z</time></trkpt></trkseg></trk></gpx>)");
    }
    std::string gpx;
};

struct FileState {
    ino_t inode;
    timespec modified;
    bool operator==(const FileState& other) const {
        return inode == other.inode && modified.tv_sec == other.modified.tv_sec &&
               modified.tv_nsec == other.modified.tv_nsec;
    }
};

FileState StateOf(const std::string& path) {
    struct stat info {};
    stat(path.c_str(), &info);
    return FileState{info.st_ino, info.st_mtim};
}

TEST_F(RerunOverATaggedFolder, WritesNothingAndCountsThePhotosAsAlreadyTagged) {
    std::vector<std::string> photos;
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
        photos.push_back(dir.File(name));
        WriteJpegWithExif(photos.back(), {{"Exif.Photo.DateTimeDigitized", "2007:06:01 12:05:30"}});
    }
    Run(gpx);
    std::vector<FileState> tagged;
    for (const std::string& photo : photos) {
        tagged.push_back(StateOf(photo));
    }
    ASSERT_EQ(view.summaries.back().tagged, 3u);

    Run(gpx);
    for (size_t i = 0; i < photos.size(); ++i) {
        EXPECT_TRUE(StateOf(photos[i]) == tagged[i]) << photos[i];
    }
    const RunSummary& rerun = view.summaries.back();
    EXPECT_EQ(rerun.tagged, 0u);
    EXPECT_EQ(rerun.alreadyTagged, 3u);
    EXPECT_EQ(RunSummaryText(rerun),
              "Last run: 3 photos checked in 1 folder; 0 tagged; 3 already tagged; GPX: 1 point");
}

TEST_F(RerunOverATaggedFolder, ASkippedPhotosReasonCarriesWhatExiv2Said) {
    // Exif whose GPS pointer points past its end.
    const std::string tiff("II*\0\x08\0\0\0\x01\0\x25\x88\x04\0\x01\0\0\0\0\x10\0\0\0\0\0\0", 26);
    const std::string segment =
        std::string("\xFF\xE1\0\x22", 4) + std::string("Exif\0\0", 6) + tiff;
    const std::string photo = dir.File("broken.jpg");
    WritePlainJpeg(photo);
    SetLastWriteTime(photo, 2007, 6, 1, 12, 5, 0);
    const std::string plain = ReadFileText(photo);
    WriteFileText(photo, plain.substr(0, 2) + segment + plain.substr(2));
    SetLastWriteTime(photo, 2007, 6, 1, 12, 5, 0);
    DebugCapture capture;
    Run(gpx);
    EXPECT_EQ(view.summaries.back().skipped, 1u);
    EXPECT_NE(capture.Text().find("Skipping " + photo +
                                  ": the GPS IFD lies outside the Exif data (Exiv2: "),
              std::string::npos)
        << capture.Text();
}

}  // namespace
