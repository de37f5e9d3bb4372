#pragma once
// A tagging engine with its own live settings, for tests without a window.

#include "engine/Log.h"
#include "engine/TaggingEngine.h"

class TestEngine : public TaggingEngine {
public:
    TestEngine() { AttachLiveSettings(&settings); }
    TrackLog& Track() { return m_TrackLog; }
    void SetLimits(BatchLimits limits) { SetBatchLimits(limits); }

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

// Closes the process-wide log when the test ends, so that tests do not see each other's log.
struct ClosedLogAfterTest {
    ~ClosedLogAfterTest() { Log::Instance().Close(); }
};
