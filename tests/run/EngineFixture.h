// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tagging engine with settings of its own, for tests without a window.

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "TrackFixtures.h"
#include "app/RunSettings.h"
#include "durable/TemporaryFile.h"
#include "platform/Log.h"
#include "run/TaggingEngine.h"

// A tagging engine driven as the program drives it, from settings as the dialog holds them:
// every call hands the engine the inputs that `settings`, the capture rules and the RAW switch
// give, as the window does when it starts a run.
class TestEngine {
public:
    // New files are made on two write threads, as on the machines the program runs on,
    // whatever this one has.
    TestEngine() { m_Engine.SetWriteThreads(2); }
    TrackLog& Track() { return m_Engine.Track(); }
    void SetLimits(BatchLimits limits) { m_Engine.SetBatchLimits(limits); }
    void SetWriteThreads(size_t count) { m_Engine.SetWriteThreads(count); }
    void SetRules(const CameraClock& clock, bool replaceRecordedPositions) {
        m_Clock = clock;
        m_ReplaceRecordedPositions = replaceRecordedPositions;
    }
    void SetRaw(bool rawSidecars) { m_RawSidecars = rawSidecars; }
    void SetWriteFaultHook(WriteFaults::Hook hook) { m_Engine.SetWriteFaultHook(std::move(hook)); }
    void RequestStop() { m_Engine.RequestStop(); }
    void ClearStopRequest() { m_Engine.ClearStopRequest(); }

    void AddPoint(double latitude, double longitude, double elevation, uint64_t time) {
        TrackPoint point;
        point.latitude = latitude;
        point.longitude = longitude;
        point.elevation = elevation;
        point.time = CountToFileTime(time);
        m_Engine.Track().Append(point);
    }

    // The inputs a run started now would have; no hot folder takes part.
    TaggingRunInputs Inputs() const {
        TaggingRunInputs inputs = RunInputsFrom(settings);
        inputs.clock = m_Clock;
        inputs.replaceRecordedPositions = m_ReplaceRecordedPositions;
        inputs.rawSidecars = m_RawSidecars;
        return inputs;
    }

    // The point that matches a capture time read with the zone's bias, as for a photo without
    // an offset of its own.
    const TrackPoint* FindBestMatch(uint64_t captureTime) {
        TrackMatcher matcher(m_Engine.Track());
        const std::optional<TrackMatch> match =
            matcher.FindBestMatch(static_cast<int64_t>(captureTime),
                                  BiasUnits(settings.m_BiasInMinutes), Inputs().tolerance);
        return match ? &m_Engine.Track().At(match->before) : nullptr;
    }

    // Lists `folder` as hot folder 1, plans it against the track held and writes the plan;
    // returns the counts.
    RunSummary ProcessHotFolder(const std::string& folder) {
        const TaggingRunInputs inputs = Inputs();
        RunPlan plan;
        plan.folders.emplace_back();
        plan.folders[0].number = 1;
        plan.folders[0].path = folder;
        for (const ImageFile& file : ListHotFolderImages(folder, m_RawSidecars)) {
            plan.folders[0].photos.emplace_back();
            plan.folders[0].photos.back().file = file;
        }
        RunSummary summary;
        m_Engine.ReadAndPlace(plan, inputs, summary, nullptr);
        m_Engine.Write(plan, inputs, summary, nullptr);
        return summary;
    }

    // A whole pass with the inputs that `settings` give, its GPX path, the hot folders that
    // take part, the camera clock and the switches taken from `choices`.
    void RunTaggingPass(TaggingRunEvents& events, const TaggingRunInputs& choices) {
        TaggingRunInputs inputs = RunInputsFrom(settings);
        inputs.gpxPath = choices.gpxPath;
        inputs.hotFolderOn = choices.hotFolderOn;
        inputs.clock = choices.clock;
        inputs.replaceRecordedPositions = choices.replaceRecordedPositions;
        inputs.rawSidecars = choices.rawSidecars;
        m_Engine.RunTaggingPass(events, inputs);
    }

    LiveSettings settings;

private:
    TaggingEngine m_Engine;
    CameraClock m_Clock;
    bool m_ReplaceRecordedPositions = true;
    bool m_RawSidecars = true;
};

// Keeps the summary of the last run that finished.
struct LastSummary : TaggingRunEvents {
    void RunStarted() override {}
    void RunProgressed(const RunSummary&) override {}
    void RunFinished(const RunSummary& summary) override { last = summary; }
    RunSummary last;
};

// Tags photos in a fresh folder with one track point, 2007-06-01 12:04:50 UTC at
// 48.137154 N 11.575382 E and 519.6 m, and two minutes' tolerance, the camera clock on UTC:
// a photo taken at 12:05:30 matches.
class PhotoTaggingTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine.settings.m_ToleranceHours = "0";
        engine.settings.m_ToleranceMinutes = "2";
        engine.AddPoint(48.137154, 11.575382, 519.6, UtcCount(2007, 6, 1, 12, 4, 50));
    }

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
