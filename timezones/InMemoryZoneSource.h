#pragma once
// A zone record source held in memory: the catalogue of tests and of systems without a time
// zone store of their own. Every failure that a real store can show can be set up: a catalogue
// that cannot be opened, an enumeration error at a position, a zone that cannot be opened, a
// missing value or one of the wrong type, size or form.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "timezones/ZoneRecordSource.h"

// One zone record: its name, how opening it ends, and its values by name.
struct ZoneRecord {
    std::string name;
    ZoneStatus openStatus = ZoneStatus::Success;
    std::map<std::string, ZoneValue> values;
};

class InMemoryZoneSource : public ZoneRecordSource {
public:
    InMemoryZoneSource();

    // Appends a well-formed zone: "TZI" with `bias`, "Display" and "Std".
    void AddZone(const std::string& name, int32_t bias, const std::string& display,
                 const std::string& standardName);
    // Appends a record as given.
    void AddRecord(ZoneRecord record);
    // Sets or removes a value of the first record named `zoneName`; no effect when none is.
    void SetValue(const std::string& zoneName, const std::string& valueName, ZoneValue value);
    void RemoveValue(const std::string& zoneName, const std::string& valueName);
    // Opening the first record named `zoneName` fails with `status`.
    void SetZoneOpenStatus(const std::string& zoneName, ZoneStatus status);
    // Enumeration at `position` fails with `status` instead of naming a record.
    void SetEnumerationStatus(uint32_t position, ZoneStatus status);
    // Opening the catalogue fails with `status` (Success restores it).
    void SetCatalogueStatus(ZoneStatus status);

    // The current zone's key: opening it ends with `status`; its "StandardName" value is the
    // string `standardName`, or `value` as given. Until set, the key opens and has no value.
    void SetCurrentZoneStatus(ZoneStatus status);
    void SetCurrentStandardName(const std::string& standardName);
    void SetCurrentStandardNameValue(ZoneValue value);

    size_t ZoneCount() const { return m_Data->zones.size(); }

    ZoneStatus OpenCatalogue(const std::string& keyPath,
                             std::unique_ptr<ZoneCatalogueKey>& catalogue) const override;
    ZoneStatus OpenCurrentZoneInfo(std::unique_ptr<ZoneKey>& info) const override;

    struct Data {
        std::vector<ZoneRecord> zones;
        std::map<uint32_t, ZoneStatus> enumerationFailures;
        ZoneStatus catalogueStatus = ZoneStatus::Success;
        ZoneRecord currentZone;
    };

private:
    ZoneRecord* Find(const std::string& zoneName);

    // Keys opened from this source keep a copy of the data as it was when they were opened.
    std::shared_ptr<Data> m_Data;
};
