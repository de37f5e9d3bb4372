// A whole tagging pass against a recording view, without any window.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <stdexcept>

#include "EngineFixture.h"
#include "JpegFixtures.h"
#include "TestSupport.h"

namespace {

class RecordingView : public TaggingRunView {
public:
    void SetStatusText(const std::string& text) override { calls.push_back("status " + text); }
    void StartBusyAnimation() override { calls.push_back("start"); }
    void StopBusyAnimation() override { calls.push_back("stop"); }
    bool IsHotFolderEnabled(int n) override {
        calls.push_back("enabled? " + std::to_string(n));
        if (throwOnQuery) {
            throw std::runtime_error("broken view");
        }
        return enabled[n - 1];
    }
    void ClearRunningFlag() override { calls.push_back("clear"); }
    void EnableRunControls() override { calls.push_back("enable"); }
    void HideBusyIndicator() override { calls.push_back("hide"); }

    bool enabled[4] = {false, false, false, false};
    bool throwOnQuery = false;
    std::vector<std::string> calls;
};

const std::vector<std::string> kEndSteps = {"stop", "status Done!", "clear", "enable", "hide"};

std::vector<std::string> Tail(const std::vector<std::string>& v, size_t n) {
    return std::vector<std::string>(v.end() - static_cast<ptrdiff_t>(n), v.end());
}

class TaggingRun : public ::testing::Test {
protected:
    TempDir dir;
    TestEngine engine;
    RecordingView view;
    ClosedLogAfterTest closeLog;
};

TEST_F(TaggingRun, NoGpxFileVisitsEveryFolderAndEndsDone) {
    for (bool& e : view.enabled) {
        e = true;
    }
    engine.settings.m_HotFolder1 = dir.Path();
    const std::string photo = dir.File("a.jpg");
    WriteJpegWithExif(photo, {{"Exif.Photo.DateTimeDigitized", "2007:06:01 13:05:30"}});
    const std::string before = ReadFileText(photo);
    engine.RunTaggingPass(view, "");
    EXPECT_EQ(ReadFileText(photo), before);
    const std::vector<std::string> expected = {"status Tagging...",
                                               "start",
                                               "enabled? 1",
                                               "enabled? 2",
                                               "enabled? 3",
                                               "enabled? 4",
                                               "stop",
                                               "status Done!",
                                               "clear",
                                               "enable",
                                               "hide"};
    EXPECT_EQ(view.calls, expected);
}

TEST_F(TaggingRun, OnlyEnabledFoldersAreProcessedInOrder) {
    view.enabled[1] = view.enabled[3] = true;
    for (int n = 1; n <= 4; ++n) {
        engine.settings.HotFolder(n) = dir.File("folder" + std::to_string(n));
    }
    engine.settings.m_UseLogfile = 1;
    Log::Instance().Open(Debug, dir.File("fenrik.log"));
    engine.RunTaggingPass(view, "");
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
    engine.RunTaggingPass(view, first);
    EXPECT_EQ(engine.Track().Count(), 2u);
    engine.RunTaggingPass(view, second);
    ASSERT_EQ(engine.Track().Count(), 1u);
    EXPECT_EQ(engine.Track().At(0).latitude, 3);
}

TEST_F(TaggingRun, AnUnreadableGpxPathIsAnErrorLineAndTheRunGoesOn) {
    const std::string fifo = dir.File("track.gpx");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    view.enabled[0] = true;
    engine.settings.m_HotFolder1 = dir.Path();
    engine.settings.m_UseLogfile = 1;
    Log::Instance().Open(Debug, dir.File("fenrik.log"));
    for (const std::string& gpx : {dir.Path(), fifo, std::string("/dev/zero")}) {
        view.calls.clear();
        engine.RunTaggingPass(view, gpx);
        EXPECT_EQ(Tail(view.calls, kEndSteps.size()), kEndSteps) << gpx;
        const std::string log = ReadFileText(dir.File("fenrik.log"));
        EXPECT_NE(log.find("[ERROR]>  GPX file " + gpx + ": not a regular file\n"),
                  std::string::npos);
        EXPECT_NE(log.find("ProcessHotFolder:"), std::string::npos);  // the folder was visited
    }
}

TEST_F(TaggingRun, EndStepsHappenWhateverFails) {
    view.throwOnQuery = true;
    engine.RunTaggingPass(view, "");
    EXPECT_EQ(Tail(view.calls, kEndSteps.size()), kEndSteps);
}

TEST_F(TaggingRun, StopRequestSkipsRemainingFolders) {
    for (bool& e : view.enabled) {
        e = true;
    }
    engine.RequestStop();
    engine.RunTaggingPass(view, "");
    const std::vector<std::string> expected = {
        "status Tagging...", "start", "stop", "status Done!", "clear", "enable", "hide"};
    EXPECT_EQ(view.calls, expected);
}

}  // namespace
