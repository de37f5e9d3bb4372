// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A tagging engine with its own live settings, for tests without a window.

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "engine/DurableFile.h"
#include "engine/TaggingEngine.h"
#include "platform/Log.h"

// A track point at a position; its time is not set.
inline TrackPoint PointAt(double latitude, double longitude, double elevation) {
    TrackPoint point;
    point.latitude = latitude;
    point.longitude = longitude;
    point.elevation = elevation;
    return point;
}

class TestEngine : public TaggingEngine {
public:
    TestEngine() { AttachLiveSettings(&settings); }
    TrackLog& Track() { return m_TrackLog; }
    void SetLimits(BatchLimits limits) { SetBatchLimits(limits); }
    void SetRules(const CameraClock& clock, bool replaceRecordedPositions) {
        SetCaptureRules(clock, replaceRecordedPositions);
    }
    void SetRaw(bool rawSidecars) { SetRawSidecars(rawSidecars); }

    void AddPoint(double latitude, double longitude, double elevation, uint64_t time) {
        TrackPoint point;
        point.latitude = latitude;
        point.longitude = longitude;
        point.elevation = elevation;
        point.time = CountToFileTime(time);
        m_TrackLog.Append(point);
    }

    LiveSettings settings;
};

// Keeps the summary of the last run that finished.
struct LastSummary : TaggingRunEvents {
    void RunStarted() override {}
    void RunProgressed(const RunSummary&) override {}
    void RunFinished(const RunSummary& summary) override { last = summary; }
    RunSummary last;
};

// Closes the process-wide log when the test ends, so that tests do not see each other's log.
struct ClosedLogAfterTest {
    ~ClosedLogAfterTest() { Log::Instance().Close(); }
};

// Tags photos in a fresh folder with one track point, 2007-06-01 12:04:50 UTC at
// 48.137154 N 11.575382 E and 519.6 m, and two minutes' tolerance, the camera clock on UTC:
// a photo taken at 12:05:30 matches. The write fault hook is cleared after each test.
class PhotoTaggingTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine.settings.m_ToleranceHours = "0";
        engine.settings.m_ToleranceMinutes = "2";
        engine.AddPoint(48.137154, 11.575382, 519.6, UtcCount(2007, 6, 1, 12, 4, 50));
    }
    void TearDown() override { SetDurableWriteFaultHook(nullptr); }

    // A whole run over the folder as hot folder 1, with a GPX file of the same track point;
    // returns its summary.
    RunSummary RunPass(bool rawSidecars = true) {
        TempDir tracks;
        const std::string gpx = tracks.File("track.gpx");
        WriteFileText(
            gpx,
            "<gpx><trk><trkseg><trkpt lat=\"48.137154\" lon=\"11.575382\"><ele>519.6</ele>"
            "<time>2007-06-01T12:04:50Z</time></trkpt></trkseg></trk></gpx>");
        engine.settings.m_HotFolder1 = dir.Path();
        TaggingRunInputs inputs;
        inputs.gpxPath = gpx;
        inputs.hotFolderOn[0] = true;
        inputs.rawSidecars = rawSidecars;
        LastSummary events;
        engine.RunTaggingPass(events, inputs);
        return events.last;
    }

    TempDir dir;
    TestEngine engine;
};
