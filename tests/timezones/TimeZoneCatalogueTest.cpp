// Loading the catalogue from a zone record source, the failure of single zones, recognition of
// the current zone and the bias rule.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "engine/Log.h"
#include "platform/ProfileStore.h"
#include "platform/SettingKeys.h"
#include "timezones/InMemoryZoneSource.h"
#include "timezones/TimeZoneCatalogue.h"

namespace {

class CatalogueTest : public ::testing::Test {
protected:
    void SetUp() override {
        Log::Instance().Close();
        SetAppProfilePath(m_Dir.File("fenrik.conf"));
    }
    void TearDown() override { Log::Instance().Close(); }

    void OpenLog() { Log::Instance().Open(Debug, LogPath()); }
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
    int StoredTZIndex() const {
        return ProfileStore(m_Dir.File("fenrik.conf"))
            .GetProfileInt(kSettingsSection, kTZIndex, 77);
    }

    static InMemoryZoneSource ThreeZones() {
        InMemoryZoneSource source;
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
    TimeZoneCatalogue catalogue;
    catalogue.LoadTimeZones(ThreeZones());
    ASSERT_EQ(catalogue.size(), 3u);
    EXPECT_EQ(catalogue[0],
              (TimeZoneEntry{480, "(UTC-08:00) Pacific Time", 0, "Pacific Standard Time"}));
    EXPECT_EQ(catalogue[1].Bias, -60);
    EXPECT_EQ(catalogue[1].Index, 1);
    EXPECT_EQ(catalogue[2].Bias, -345);
    EXPECT_EQ(catalogue[2].Index, 2);
    EXPECT_EQ(capture.Text(),
              "Pacific Standard Time\nW. Europe Standard Time\nNepal Standard Time\n");

    catalogue.LoadTimeZones(ThreeZones());  // loading again starts afresh
    EXPECT_EQ(catalogue.size(), 3u);
}

struct ZoneFault {
    const char* what;
    void (*apply)(InMemoryZoneSource&, const std::string& zone);
    const char* message;
};

const ZoneFault kZoneFaults[] = {
    {"zone cannot be opened",
     [](InMemoryZoneSource& s, const std::string& z) {
         s.SetZoneOpenStatus(z, ZoneStatus::AccessDenied);
     },
     "Failure in Open.\n"},
    {"TZI not binary",
     [](InMemoryZoneSource& s, const std::string& z) {
         s.SetValue(z, "TZI", MakeStringValue("-60"));
     },
     "Failure in QueryBinaryValue.\n"},
    {"TZI missing", [](InMemoryZoneSource& s, const std::string& z) { s.RemoveValue(z, "TZI"); },
     "Failure in QueryBinaryValue.\n"},
    {"Display missing",
     [](InMemoryZoneSource& s, const std::string& z) { s.RemoveValue(z, "Display"); },
     "Failure in QueryStringValue.\n"},
    {"Display of 168 characters",
     [](InMemoryZoneSource& s, const std::string& z) {
         s.SetValue(z, "Display", MakeStringValue(std::string(168, 'd')));
     },
     "Failure in QueryStringValue.\n"},
    {"Display a number",
     [](InMemoryZoneSource& s, const std::string& z) {
         s.SetValue(z, "Display", ZoneValue{ZoneValueType::Dword, {1, 0, 0, 0}});
     },
     "Failure in QueryStringValue.\n"},
    {"Std missing", [](InMemoryZoneSource& s, const std::string& z) { s.RemoveValue(z, "Std"); },
     "Failure in QueryStringValue.\n"},
    {"Std of 256 characters",
     [](InMemoryZoneSource& s, const std::string& z) {
         s.SetValue(z, "Std", MakeStringValue(std::string(256, 's')));
     },
     "Failure in QueryStringValue.\n"},
    {"Std without its terminating zero",
     [](InMemoryZoneSource& s, const std::string& z) {
         s.SetValue(z, "Std", ZoneValue{ZoneValueType::String, {'A', 'B', 'C'}});
     },
     "Failure in QueryStringValue.\n"},
};

TEST_F(CatalogueTest, AFailedZoneIsLeftOutAndTheNextTakesItsIndex) {
    for (const ZoneFault& fault : kZoneFaults) {
        SCOPED_TRACE(fault.what);
        InMemoryZoneSource source = ThreeZones();
        fault.apply(source, "W. Europe Standard Time");
        OpenLog();
        TimeZoneCatalogue catalogue;
        catalogue.LoadTimeZones(source);
        ASSERT_EQ(catalogue.size(), 2u);
        EXPECT_EQ(catalogue[1].Std, "Nepal Standard Time");
        EXPECT_EQ(catalogue[1].Index, 1);
        // The message is written unchanged, so its own line feed leaves an empty line.
        const std::vector<std::string> lines = LogMessages();
        const std::string message(fault.message);
        const bool endsInLineFeed = message.back() == '\n';
        ASSERT_EQ(lines.size(), endsInLineFeed ? 2u : 1u);
        EXPECT_EQ(lines[0] + (endsInLineFeed ? "\n" : ""), "[ERROR]>  " + message);
    }
}

TEST_F(CatalogueTest, FailuresReachTheLogFileOnlyWhileItIsOpen) {
    InMemoryZoneSource source = ThreeZones();
    source.RemoveValue("Pacific Standard Time", "TZI");
    TimeZoneCatalogue catalogue;
    catalogue.LoadTimeZones(source);  // as at start-up, before any run opened the log
    EXPECT_EQ(catalogue.size(), 2u);
    EXPECT_EQ(ReadFileText(LogPath()), "");
    OpenLog();
    catalogue.LoadTimeZones(source);
    EXPECT_EQ(LogMessages(),
              (std::vector<std::string>{"[ERROR]>  Failure in QueryBinaryValue.", ""}));
}

TEST_F(CatalogueTest, ValuesAreTakenAsStoredWithinTheirLimits) {
    InMemoryZoneSource source;
    source.AddZone("Empty", 0, "", "Empty");
    source.AddZone("Limits", 0, std::string(167, 'd'), std::string(255, 's'));
    source.AddZone("Expand", 0, "", "");
    source.SetValue("Expand", "Std", MakeStringValue("%Zone%", ZoneValueType::ExpandString));
    source.SetValue("Expand", "Display", ZoneValue{ZoneValueType::String, {}});
    source.AddZone("Short TZI", 0, "short", "Short TZI");
    source.SetValue("Short TZI", "TZI", MakeBinaryValue({0xC4, 0xFF}));
    source.AddZone("Long TZI", 0, "long", "Long TZI");
    source.SetValue("Long TZI", "TZI", MakeBinaryValue(std::vector<uint8_t>(400, 0xFF)));
    TimeZoneCatalogue catalogue;
    catalogue.LoadTimeZones(source);
    ASSERT_EQ(catalogue.size(), 5u);
    EXPECT_EQ(catalogue[0].Display, "");
    EXPECT_EQ(catalogue[1].Display.size(), 167u);
    EXPECT_EQ(catalogue[1].Std.size(), 255u);
    EXPECT_EQ(catalogue[2].Std, "%Zone%");
    EXPECT_EQ(catalogue[2].Display, "");
    // Bytes missing from a short record leave the high-order bytes of Bias zero.
    EXPECT_EQ(catalogue[3].Bias, 0xFFC4);
    EXPECT_EQ(catalogue[4].Bias, -1);
}

TEST_F(CatalogueTest, LoadingEndsAtAnEnumerationErrorOrAnUnopenableCatalogue) {
    InMemoryZoneSource source = ThreeZones();
    source.SetEnumerationStatus(1, ZoneStatus::AccessDenied);
    TimeZoneCatalogue catalogue;
    catalogue.LoadTimeZones(source);
    ASSERT_EQ(catalogue.size(), 1u);
    EXPECT_EQ(catalogue[0].Std, "Pacific Standard Time");

    InMemoryZoneSource closed = ThreeZones();
    closed.SetCatalogueStatus(ZoneStatus::NotFound);
    catalogue.LoadTimeZones(closed);
    EXPECT_TRUE(catalogue.empty());
}

TEST_F(CatalogueTest, TheCurrentZoneIsTheFirstExactMatchAndIsStored) {
    InMemoryZoneSource source = ThreeZones();
    source.AddZone("Second Nepal", -345, "(UTC+05:45) Second", "Nepal Standard Time");
    TimeZoneCatalogue catalogue;
    catalogue.LoadTimeZones(source);

    source.SetCurrentStandardName("Nepal Standard Time");
    EXPECT_EQ(catalogue.FindCurrentTimeZone(source), 2);
    EXPECT_EQ(StoredTZIndex(), 2);

    ASSERT_TRUE(AppProfile().WriteProfileInt(kSettingsSection, kTZIndex, 5));
    for (const char* name : {"nepal standard time", "Nepal Standard Time ", "Nepal", ""}) {
        source.SetCurrentStandardName(name);
        EXPECT_EQ(catalogue.FindCurrentTimeZone(source), -1) << name;
    }
    EXPECT_EQ(StoredTZIndex(), 5);

    TimeZoneCatalogue empty;
    source.SetCurrentStandardName("Nepal Standard Time");
    EXPECT_EQ(empty.FindCurrentTimeZone(source), -1);
    EXPECT_EQ(StoredTZIndex(), 5);
}

TEST_F(CatalogueTest, AnUnreadableCurrentZoneMatchesNothingAndIsLogged) {
    InMemoryZoneSource source;
    source.AddZone("Nameless", 0, "(UTC) Nameless", "");  // an empty Std must not match
    TimeZoneCatalogue catalogue;
    catalogue.LoadTimeZones(source);
    OpenLog();

    EXPECT_EQ(catalogue.FindCurrentTimeZone(source), -1);  // no StandardName value
    source.SetCurrentStandardNameValue(MakeStringValue(std::string(256, 'n')));
    EXPECT_EQ(catalogue.FindCurrentTimeZone(source), -1);
    source.SetCurrentStandardNameValue(MakeBinaryValue({0}));
    EXPECT_EQ(catalogue.FindCurrentTimeZone(source), -1);
    source.SetCurrentZoneStatus(ZoneStatus::AccessDenied);
    EXPECT_EQ(catalogue.FindCurrentTimeZone(source), -1);

    EXPECT_EQ(LogMessages(), (std::vector<std::string>{
                                 "[ERROR]>  Failure in GetStringValue",
                                 "[ERROR]>  Failure in GetStringValue",
                                 "[ERROR]>  Failure in GetStringValue",
                                 "[ERROR]>  Failure in Open.",
                                 "",
                             }));
    EXPECT_EQ(StoredTZIndex(), 77);
}

TEST_F(CatalogueTest, FindByIndexTakesTheEntryAtThatPosition) {
    TimeZoneCatalogue catalogue;
    EXPECT_EQ(catalogue.FindTimeZoneByIndex(0), nullptr);
    catalogue.LoadTimeZones(ThreeZones());
    ASSERT_NE(catalogue.FindTimeZoneByIndex(2), nullptr);
    EXPECT_EQ(catalogue.FindTimeZoneByIndex(2)->Std, "Nepal Standard Time");
    EXPECT_EQ(catalogue.FindTimeZoneByIndex(-1), nullptr);
    EXPECT_EQ(catalogue.FindTimeZoneByIndex(3), nullptr);
}

}  // namespace
