// SPDX-License-Identifier: GPL-3.0-or-later
// Loading the catalogue from a zone source, the failure of single zones, recognition of
// the current zone and the bias rule.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeZoneSource.h"
#include "TestSupport.h"
#include "platform/Log.h"
#include "timezones/TimeZoneCatalogue.h"

namespace {

class CatalogueTest : public ::testing::Test {
protected:
    void SetUp() override { Log::Instance().Close(); }
    void TearDown() override { Log::Instance().Close(); }

    void OpenLog() { EXPECT_TRUE(Log::Instance().Open(Debug, LogPath()).ok()); }
    std::string LogPath() const { return m_Dir.File("fenrik.log"); }
    // The log's lines without their timestamps.
    std::vector<std::string> LogMessages() const {
        std::vector<std::string> messages;
        for (const std::string& line : SplitLines(ReadFileText(LogPath()))) {
            const std::string::size_type prefix = line.find("[ERROR]>  ");
            messages.push_back(prefix == std::string::npos ? line : line.substr(prefix));
        }
        return messages;
    }

    static FakeZoneSource ThreeZones() {
        FakeZoneSource source;
        source.AddZone("Pacific Standard Time", 480, "(UTC-08:00) Pacific Time",
                       "Pacific Standard Time");
        source.AddZone("W. Europe Standard Time", -60, "(UTC+01:00) Amsterdam, Berlin",
                       "W. Europe Standard Time");
        source.AddZone("Nepal Standard Time", -345, "(UTC+05:45) Kathmandu", "Nepal Standard Time");
        return source;
    }

    TempDir m_Dir;
};

TEST_F(CatalogueTest, ZonesLoadInEnumerationOrderWithConsecutiveIndexes) {
    DebugCapture capture;
    const FakeZoneSource source = ThreeZones();
    TimeZoneCatalogue catalogue(source);
    catalogue.LoadTimeZones();
    ASSERT_EQ(catalogue.size(), 3u);
    EXPECT_EQ(catalogue[0],
              (TimeZoneEntry{480, "(UTC-08:00) Pacific Time", 0, "Pacific Standard Time"}));
    EXPECT_EQ(catalogue[1].Bias, -60);
    EXPECT_EQ(catalogue[1].Index, 1);
    EXPECT_EQ(catalogue[2].Bias, -345);
    EXPECT_EQ(catalogue[2].Index, 2);
    EXPECT_EQ(SplitLines(capture.Text()).size(), 1u);  // one line, not the list

    catalogue.LoadTimeZones();  // loading again starts afresh
    EXPECT_EQ(catalogue.size(), 3u);
}

const char* const kZoneFailures[] = {kFailureInOpen, kFailureInQueryBinaryValue,
                                     kFailureInQueryStringValue};

TEST_F(CatalogueTest, AFailedZoneIsLeftOutAndTheNextTakesItsIndex) {
    for (const char* failure : kZoneFailures) {
        SCOPED_TRACE(failure);
        FakeZoneSource source = ThreeZones();
        source.FailZone("W. Europe Standard Time", failure);
        OpenLog();
        TimeZoneCatalogue catalogue(source);
        catalogue.LoadTimeZones();
        ASSERT_EQ(catalogue.size(), 2u);
        EXPECT_EQ(catalogue[1].Std, "Nepal Standard Time");
        EXPECT_EQ(catalogue[1].Index, 1);
        // The message is written unchanged, so its own line feed leaves an empty line.
        const std::vector<std::string> lines = LogMessages();
        const std::string message(failure);
        const bool endsInLineFeed = message.back() == '\n';
        ASSERT_EQ(lines.size(), endsInLineFeed ? 2u : 1u);
        EXPECT_EQ(lines[0] + (endsInLineFeed ? "\n" : ""), "[ERROR]>  " + message);
    }
}

TEST_F(CatalogueTest, FailuresReachTheLogFileOnlyWhileItIsOpen) {
    FakeZoneSource source = ThreeZones();
    source.FailZone("Pacific Standard Time", kFailureInQueryBinaryValue);
    TimeZoneCatalogue catalogue(source);
    catalogue.LoadTimeZones();  // as at start-up, before any run opened the log
    EXPECT_EQ(catalogue.size(), 2u);
    EXPECT_EQ(ReadFileText(LogPath()), "");
    OpenLog();
    catalogue.LoadTimeZones();
    EXPECT_EQ(LogMessages(),
              (std::vector<std::string>{"[ERROR]>  Failure in QueryBinaryValue.", ""}));
}

TEST_F(CatalogueTest, TheCurrentZoneIsTheFirstExactMatch) {
    FakeZoneSource source = ThreeZones();
    source.AddZone("Second Nepal", -345, "(UTC+05:45) Second", "Nepal Standard Time");
    TimeZoneCatalogue catalogue(source);
    catalogue.LoadTimeZones();

    source.current.standardName = "Nepal Standard Time";
    EXPECT_EQ(catalogue.FindCurrentTimeZone(), 2);

    for (const char* name : {"nepal standard time", "Nepal Standard Time ", "Nepal", ""}) {
        source.current.standardName = name;
        EXPECT_EQ(catalogue.FindCurrentTimeZone(), -1) << name;
    }

    TimeZoneCatalogue empty(source);
    source.current.standardName = "Nepal Standard Time";
    EXPECT_EQ(empty.FindCurrentTimeZone(), -1);
}

TEST_F(CatalogueTest, AnUnreadableCurrentZoneMatchesNothingAndIsLogged) {
    FakeZoneSource source;
    source.AddZone("Nameless", 0, "(UTC) Nameless", "");  // an empty Std must not match
    TimeZoneCatalogue catalogue(source);
    catalogue.LoadTimeZones();
    OpenLog();

    source.current.failure = kFailureInGetStringValue;
    EXPECT_EQ(catalogue.FindCurrentTimeZone(), -1);
    source.current.failure = kFailureInOpen;
    EXPECT_EQ(catalogue.FindCurrentTimeZone(), -1);

    EXPECT_EQ(LogMessages(), (std::vector<std::string>{
                                 "[ERROR]>  Failure in GetStringValue",
                                 "[ERROR]>  Failure in Open.",
                                 "",
                             }));
}

TEST_F(CatalogueTest, FindByIndexTakesTheEntryAtThatPosition) {
    const FakeZoneSource source = ThreeZones();
    TimeZoneCatalogue catalogue(source);
    EXPECT_EQ(catalogue.FindTimeZoneByIndex(0), nullptr);
    catalogue.LoadTimeZones();
    ASSERT_NE(catalogue.FindTimeZoneByIndex(2), nullptr);
    EXPECT_EQ(catalogue.FindTimeZoneByIndex(2)->Std, "Nepal Standard Time");
    EXPECT_EQ(catalogue.FindTimeZoneByIndex(-1), nullptr);
    EXPECT_EQ(catalogue.FindTimeZoneByIndex(3), nullptr);
}

}  // namespace
