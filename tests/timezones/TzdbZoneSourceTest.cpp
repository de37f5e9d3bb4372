// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogue read from the system's time zone database, and the database reading itself on a
// made-up database folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "TestSupport.h"
#include "platform/Log.h"
#include "timezones/TimeZoneCatalogue.h"
#include "timezones/TzdbZoneSource.h"

namespace {

// Sets TZ for the life of the object.
class ScopedTz {
public:
    explicit ScopedTz(const std::string& value) {
        const char* previous = std::getenv("TZ");
        m_HadValue = previous != nullptr;
        m_Previous = m_HadValue ? previous : "";
        setenv("TZ", value.c_str(), 1);
    }
    ~ScopedTz() {
        if (m_HadValue) {
            setenv("TZ", m_Previous.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
    }

private:
    bool m_HadValue;
    std::string m_Previous;
};

const TimeZoneEntry* EntryWithStd(const TimeZoneCatalogue& catalogue, const std::string& id) {
    for (const TimeZoneEntry& entry : catalogue) {
        if (entry.Std == id) {
            return &entry;
        }
    }
    return nullptr;
}

class SystemCatalogue : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_Catalogue = new TimeZoneCatalogue(SystemZoneSource());
        s_Catalogue->LoadTimeZones();
    }
    static void TearDownTestSuite() { delete s_Catalogue; }

    static TimeZoneCatalogue* s_Catalogue;
    TempDir m_Dir;
};
TimeZoneCatalogue* SystemCatalogue::s_Catalogue = nullptr;

TEST_F(SystemCatalogue, ZonesCarryMinusTheirStandardOffset) {
    const struct {
        const char* id;
        int32_t bias;
        const char* display;
    } expected[] = {
        {"Europe/Berlin", -60, "(UTC+01:00) Europe/Berlin"},
        {"America/Los_Angeles", 480, "(UTC-08:00) America/Los_Angeles"},
        {"Asia/Kolkata", -330, "(UTC+05:30) Asia/Kolkata"},
        {"Asia/Kathmandu", -345, "(UTC+05:45) Asia/Kathmandu"},
        {"UTC", 0, "(UTC+00:00) UTC"},
    };
    for (const auto& zone : expected) {
        SCOPED_TRACE(zone.id);
        const TimeZoneEntry* entry = EntryWithStd(*s_Catalogue, zone.id);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->Bias, zone.bias);
        EXPECT_EQ(entry->Display, zone.display);
    }
}

// The zone's offset from UTC in minutes on the given day at noon UTC, as the C library reads
// the same database.
int CLibraryOffsetMinutes(const std::string& id, int year, int month) {
    ScopedTz tz(id);
    tzset();
    std::tm noon{};
    noon.tm_year = year - 1900;
    noon.tm_mon = month - 1;
    noon.tm_mday = 1;
    noon.tm_hour = 12;
    const std::time_t when = timegm(&noon);
    std::tm local{};
    localtime_r(&when, &local);
    return static_cast<int>(local.tm_gmtoff / 60);
}

int CurrentUtcYear() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    return utc.tm_year + 1900;
}

TEST_F(SystemCatalogue, EveryZonesBiasIsItsWinterNotItsSummerOffset) {
    const int year = CurrentUtcYear();
    int zonesWithTwoOffsets = 0;
    for (const TimeZoneEntry& entry : s_Catalogue->Entries()) {
        SCOPED_TRACE(entry.Std);
        const int january = CLibraryOffsetMinutes(entry.Std, year, 1);
        const int july = CLibraryOffsetMinutes(entry.Std, year, 7);
        if (january != july) {
            ++zonesWithTwoOffsets;
            EXPECT_NE(entry.Bias, -std::max(january, july)) << "summer time taken as standard";
        }
        EXPECT_EQ(entry.Bias, -std::min(january, july));
    }
    tzset();
    EXPECT_GT(zonesWithTwoOffsets, 50);  // both hemispheres' daylight-saving zones were checked
}

TEST_F(SystemCatalogue, IrishWinterTimeIsStandardTime) {
    // tzdata calls Irish summer time "standard" and winter time "daylight"; a camera kept on
    // winter time in Dublin runs on UTC.
    const TimeZoneEntry* dublin = EntryWithStd(*s_Catalogue, "Europe/Dublin");
    ASSERT_NE(dublin, nullptr);
    EXPECT_EQ(dublin->Bias, 0);
    EXPECT_EQ(dublin->Display, "(UTC+00:00) Europe/Dublin");
    const TimeZoneEntry* london = EntryWithStd(*s_Catalogue, "Europe/London");
    ASSERT_NE(london, nullptr);
    EXPECT_EQ(london->Bias, dublin->Bias);
    EXPECT_EQ(StandardOffsetSeconds("Europe/Dublin", 2024), 0);
    EXPECT_EQ(StandardOffsetSeconds("Australia/Sydney", 2024), 36000);  // summer in January
    EXPECT_EQ(StandardOffsetSeconds("America/St_Johns", 2024), -12600);
    EXPECT_EQ(StandardOffsetSeconds("Mars/Olympus_Mons", 2024), std::nullopt);
}

TEST_F(SystemCatalogue, IsSortedByIdWithConsecutiveIndexesAndStable) {
    ASSERT_GT(s_Catalogue->size(), 300u);
    EXPECT_EQ(EntryWithStd(*s_Catalogue, "Asia/Calcutta"), nullptr);  // aliases are not listed
    for (size_t i = 0; i < s_Catalogue->size(); ++i) {
        EXPECT_EQ((*s_Catalogue)[i].Index, static_cast<int32_t>(i));
        if (i > 0) {
            EXPECT_LT((*s_Catalogue)[i - 1].Std, (*s_Catalogue)[i].Std);
        }
    }
    const TzdbZoneSource source;
    TimeZoneCatalogue again(source);
    again.LoadTimeZones();
    EXPECT_EQ(again.Entries(), s_Catalogue->Entries());
}

TEST_F(SystemCatalogue, TheSystemsZoneIsRecognisedThroughAliasesAndPaths) {
    const struct {
        std::string tz;
        const char* id;
    } cases[] = {
        {"Europe/Berlin", "Europe/Berlin"},
        {"America/New_York", "America/New_York"},
        {"Asia/Calcutta", "Asia/Kolkata"},
        {"US/Eastern", "America/New_York"},
        {"Etc/UTC", "UTC"},
        {":" + TzdbDirectory() + "/Asia/Kathmandu", "Asia/Kathmandu"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tz);
        ScopedTz tz(c.tz);
        const TimeZoneEntry* expected = EntryWithStd(*s_Catalogue, c.id);
        ASSERT_NE(expected, nullptr);
        EXPECT_EQ(s_Catalogue->FindCurrentTimeZone(), expected->Index);
    }
    ScopedTz unknown("Mars/Olympus_Mons");
    EXPECT_EQ(s_Catalogue->FindCurrentTimeZone(), -1);
}

TEST(TzdbFiles, ListsLinksAndTheSystemZoneOfADatabaseFolder) {
    TempDir dir;
    WriteFileText(dir.File("zone.tab"),
                  "# comment\tx\ty\n"
                  "DE\t+5230+01322\tEurope/Berlin\n"
                  "IN\t+2232+08822\tAsia/Kolkata\n"
                  "\n"
                  "XM\t+0000+00000\tMars/Olympus_Mons\tno such zone\n"
                  "DE\t+5230+01322\tEurope/Berlin\n");
    WriteFileText(dir.File("tzdata.zi"),
                  "# version test\nZ Asia/Kolkata 5:30 - IST\nL Asia/Kolkata Asia/Calcutta\n"
                  "L Etc/UTC UTC\nL Etc/UTC Zulu\n");
    std::filesystem::create_directories(dir.File("Europe"));
    WriteFileText(dir.File("Europe/Berlin"), "TZif");
    std::filesystem::create_symlink("Berlin", dir.File("Europe/Busingen"));

    const std::vector<std::string> ids = CatalogueZoneIds(dir.Path());
    EXPECT_EQ(ids, (std::vector<std::string>{"Asia/Kolkata", "Europe/Berlin", "Mars/Olympus_Mons",
                                             "UTC"}));
    EXPECT_EQ(CatalogueZoneIdFor("Asia/Calcutta", ids, dir.Path()), "Asia/Kolkata");
    EXPECT_EQ(CatalogueZoneIdFor("Zulu", ids, dir.Path()), "UTC");
    EXPECT_EQ(CatalogueZoneIdFor("Etc/UTC", ids, dir.Path()), "UTC");
    EXPECT_EQ(CatalogueZoneIdFor("Europe/Busingen", ids, dir.Path()), "Europe/Berlin");
    EXPECT_EQ(CatalogueZoneIdFor("Europe/Paris", ids, dir.Path()), "Europe/Paris");

    // A listed zone without data is left out like any unreadable zone.
    const TzdbZoneSource source(dir.Path());
    TimeZoneCatalogue catalogue(source);
    catalogue.LoadTimeZones();
    ASSERT_EQ(catalogue.size(), 3u);
    EXPECT_EQ(catalogue[2].Std, "UTC");
    EXPECT_EQ(catalogue[2].Index, 2);

    std::filesystem::remove(dir.File("zone.tab"));
    WriteFileText(dir.File("zone1970.tab"), "NP\t+2743+08519\tAsia/Kathmandu\n");
    EXPECT_EQ(CatalogueZoneIds(dir.Path()), (std::vector<std::string>{"Asia/Kathmandu", "UTC"}));
    std::filesystem::remove(dir.File("zone1970.tab"));
    EXPECT_EQ(CatalogueZoneIds(dir.Path()), (std::vector<std::string>{"UTC"}));
}

TEST(TzdbFiles, DisplayTextShowsTheSignedStandardOffset) {
    EXPECT_EQ(ZoneDisplayText("America/St_Johns", -12600), "(UTC-03:30) America/St_Johns");
    EXPECT_EQ(ZoneDisplayText("Pacific/Kiritimati", 50400), "(UTC+14:00) Pacific/Kiritimati");
}

}  // namespace
