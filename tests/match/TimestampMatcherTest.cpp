// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <random>

#include "EngineFixture.h"
#include "TestSupport.h"
#include "match/TimestampMatcher.h"

namespace {

constexpr int64_t kMinute = 600000000;

TEST(Tolerance, HoursAndMinutesTexts) {
    EXPECT_EQ(ToleranceUnits("1", "30"), 54000000000);
    EXPECT_EQ(ToleranceUnits("", ""), 0);
    EXPECT_EQ(ToleranceUnits("abc", "2x"), 2 * kMinute);
    EXPECT_EQ(ToleranceUnits("-1", "0"), -60 * kMinute);
    // The hours product is formed in 32 bits and wraps.
    EXPECT_EQ(ToleranceUnits("35791395", "0"), int64_t{-2147483596} * kMinute);
    EXPECT_EQ(BiasUnits(-60), -60 * kMinute);
    EXPECT_EQ(BiasUnits(480), 480 * kMinute);
    EXPECT_EQ(BiasUnits(INT32_MIN), static_cast<int64_t>(INT32_MIN) * kMinute);
}

class Matching : public ::testing::Test {
protected:
    const TrackPoint* Match(uint64_t capture) { return engine.FindBestMatch(capture); }
    // The reference scan that writes a Debug line for every point it examines, as a run's log
    // does.
    const TrackPoint* MatchLogged(uint64_t capture) {
        const MatchQuery query{static_cast<int64_t>(capture), engine.Inputs().tolerance,
                               BiasUnits(engine.settings.m_BiasInMinutes)};
        const ptrdiff_t best = ScanForBestMatch(engine.Track(), query, true);
        return best < 0 ? nullptr : &engine.Track().At(static_cast<size_t>(best));
    }
    TestEngine engine;
    ClosedLogAfterTest closeLog;
};

TEST_F(Matching, WindowBoundsAreInclusiveToTheHundredNanoseconds) {
    const uint64_t capture = UtcCount(2007, 6, 1, 12, 0, 0);
    engine.settings.m_ToleranceHours = "1";
    engine.settings.m_ToleranceMinutes = "30";
    engine.AddPoint(1, 1, 0, capture - 90 * kMinute - 1);
    EXPECT_EQ(Match(capture), nullptr);
    engine.AddPoint(2, 2, 0, capture + 90 * kMinute);
    ASSERT_NE(Match(capture), nullptr);
    EXPECT_EQ(Match(capture)->latitude, 2);
    // Hours "-1" give the same window as "1".
    engine.settings.m_ToleranceHours = "-1";
    engine.settings.m_ToleranceMinutes = "0";
    EXPECT_EQ(Match(capture), nullptr);
    engine.AddPoint(3, 3, 0, capture - 60 * kMinute);
    ASSERT_NE(Match(capture), nullptr);
    EXPECT_EQ(Match(capture)->latitude, 3);
}

TEST_F(Matching, EmptyToleranceMatchesOnlyTheExactTime) {
    const uint64_t capture = UtcCount(2007, 6, 1, 12, 0, 0);
    engine.AddPoint(1, 1, 0, capture + kFileTimeUnitsPerSecond);
    EXPECT_EQ(Match(capture), nullptr);
    engine.AddPoint(2, 2, 0, capture);
    ASSERT_NE(Match(capture), nullptr);
    EXPECT_EQ(Match(capture)->latitude, 2);
}

TEST_F(Matching, BiasShiftsTrackPointsOntoTheCameraClock) {
    engine.AddPoint(1, 1, 0, UtcCount(2007, 6, 1, 10, 0, 0));
    engine.settings.m_BiasInMinutes = -60;
    EXPECT_NE(Match(UtcCount(2007, 6, 1, 11, 0, 0)), nullptr);
    EXPECT_EQ(Match(UtcCount(2007, 6, 1, 10, 0, 0)), nullptr);
    engine.settings.m_BiasInMinutes = 480;
    EXPECT_NE(Match(UtcCount(2007, 6, 1, 2, 0, 0)), nullptr);
}

TEST_F(Matching, FirstOfEquallyClosePointsWins) {
    engine.settings.m_ToleranceMinutes = "5";
    engine.AddPoint(1, 1, 0, UtcCount(2007, 6, 1, 9, 59, 0));
    engine.AddPoint(2, 2, 0, UtcCount(2007, 6, 1, 10, 1, 0));
    engine.AddPoint(3, 3, 0, UtcCount(2007, 6, 1, 10, 1, 0));
    EXPECT_EQ(Match(UtcCount(2007, 6, 1, 10, 0, 0))->latitude, 1);
    EXPECT_EQ(Match(UtcCount(2007, 6, 1, 10, 1, 0))->latitude, 2);
}

TEST_F(Matching, EmptyLogMatchesNothingAndLogsNothing) {
    TempDir dir;
    EXPECT_TRUE(Log::Instance().Open(Debug, dir.File("fenrik.log")).ok());
    EXPECT_EQ(Match(UtcCount(2007, 6, 1, 10, 0, 0)), nullptr);
    EXPECT_EQ(ReadFileText(dir.File("fenrik.log")), "");
}

TEST_F(Matching, OpenLogRecordsEveryPointExamined) {
    TempDir dir;
    EXPECT_TRUE(Log::Instance().Open(Debug, dir.File("fenrik.log")).ok());
    engine.settings.m_BiasInMinutes = -60;
    engine.settings.m_ToleranceMinutes = "2";
    engine.AddPoint(1, 1, 0, UtcCount(2007, 6, 1, 12, 4, 50));
    engine.AddPoint(2, 2, 0, UtcCount(2007, 6, 1, 12, 5, 10));
    engine.AddPoint(3, 3, 0, UtcCount(2007, 6, 1, 9, 0, 0));
    engine.AddPoint(4, 4, 0, 0);  // an invalid GPX time
    EXPECT_EQ(MatchLogged(UtcCount(2007, 6, 1, 13, 5, 30))->latitude, 2);
    std::vector<std::string> messages;
    for (const std::string& line : SplitLines(ReadFileText(dir.File("fenrik.log")))) {
        const auto prefix = line.find("[DEBUG]>  ");
        messages.push_back(prefix == std::string::npos ? line : line.substr(prefix + 10));
    }
    const std::vector<std::string> expected = {"Checking for match with timestamp:",
                                               "2007:6:1T13:4:50",
                                               "",
                                               "Match!",
                                               "Checking for match with timestamp:",
                                               "2007:6:1T13:5:10",
                                               "",
                                               "Match!",
                                               "Checking for match with timestamp:",
                                               "2007:6:1T10:0:0",
                                               "",
                                               "Checking for match with timestamp:",
                                               "1601:1:1T1:0:0",
                                               ""};
    EXPECT_EQ(messages, expected);
}

TEST_F(Matching, ShiftedTimeBefore1601IsLoggedAsZeros) {
    TempDir dir;
    EXPECT_TRUE(Log::Instance().Open(Debug, dir.File("fenrik.log")).ok());
    engine.settings.m_BiasInMinutes = 60;
    engine.AddPoint(4, 4, 0, 0);
    EXPECT_EQ(MatchLogged(UtcCount(2007, 6, 1, 13, 5, 30)), nullptr);
    EXPECT_NE(ReadFileText(dir.File("fenrik.log")).find("[DEBUG]>  0:0:0T0:0:0\n"),
              std::string::npos);
}

// The reference scan, written straight from the matching rule: shift, window, strictly closer.
ptrdiff_t ReferenceScan(const std::vector<int64_t>& times, int64_t capture, int64_t tolerance,
                        int64_t bias) {
    const int64_t lower = std::min(capture - tolerance, capture + tolerance);
    const int64_t upper = std::max(capture - tolerance, capture + tolerance);
    int64_t best = INT64_MAX;
    ptrdiff_t position = -1;
    for (size_t i = 0; i < times.size(); ++i) {
        const int64_t t = times[i] - bias;
        if (t < lower || t > upper) {
            continue;
        }
        const int64_t d = t > capture ? t - capture : capture - t;
        if (d < best) {
            best = d;
            position = static_cast<ptrdiff_t>(i);
        }
    }
    return position;
}

TEST(MatchIndex, AgreesWithTheLinearScanOnRandomLogs) {
    std::mt19937_64 random(TestSeed(20070601));
    const int64_t base = static_cast<int64_t>(UtcCount(2007, 6, 1, 0, 0, 0));
    for (int round = 0; round < 400; ++round) {
        TrackLog log;
        std::vector<int64_t> times;
        const int count = static_cast<int>(random() % 60);
        const int64_t spread = (1 + static_cast<int64_t>(random() % 120)) * kMinute;
        for (int i = 0; i < count; ++i) {
            // Coarse steps make ties and duplicates common; some points have time 0.
            int64_t t = base + static_cast<int64_t>(random() % 40) * (spread / 40);
            t -= t % kFileTimeUnitsPerSecond;  // the rule sees whole seconds
            if (random() % 15 == 0) {
                t = 0;
            }
            times.push_back(t);
            TrackPoint p;
            p.time = CountToFileTime(static_cast<uint64_t>(t));
            log.Append(p);
        }
        const int64_t bias = (static_cast<int64_t>(random() % 1500) - 750) * kMinute;
        TrackTimeIndex index;
        index.Prepare(log, bias);
        for (int q = 0; q < 50; ++q) {
            const int64_t capture =
                base - bias + static_cast<int64_t>(random() % 80) * (spread / 40) - spread / 2;
            const int64_t tolerance =
                (static_cast<int64_t>(random() % 9) - 4) * (spread / 20);  // also 0 and negative
            ASSERT_EQ(index.FindBestMatch(capture, tolerance),
                      ReferenceScan(times, capture, tolerance, bias))
                << "round " << round << " query " << q;
            MatchQuery query{capture, tolerance, bias};
            ASSERT_EQ(ScanForBestMatch(log, query, false),
                      ReferenceScan(times, capture, tolerance, bias));
        }
    }
}

TEST(MatchIndex, FollowsChangesOfTheLogAndTheBias) {
    TrackLog log;
    TrackPoint p;
    p.time = CountToFileTime(100 * kMinute);
    log.Append(p);
    TrackTimeIndex index;
    index.Prepare(log, 0);
    EXPECT_EQ(index.FindBestMatch(100 * kMinute, 0), 0);
    index.Prepare(log, 10 * kMinute);
    EXPECT_EQ(index.FindBestMatch(90 * kMinute, 0), 0);
    log.Empty();
    index.Prepare(log, 10 * kMinute);
    EXPECT_EQ(index.FindBestMatch(90 * kMinute, 0), -1);
}

}  // namespace
