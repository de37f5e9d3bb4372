#pragma once
// The zone record source of a Linux system: its time zone database.
//
// One record per zone that the database lists (see CatalogueZoneIds), sorted by id, each named
// by its id and holding "TZI" (bias = minus the standard offset in minutes, see
// StandardOffsetSeconds), "Display" ("(UTC+01:00) Europe/Berlin": the standard offset, then the id)
// and "Std" (the id). A listed zone whose data cannot be read has no "TZI" value. The current
// zone's "StandardName" is the id of the catalogue zone that the system runs in. The database is
// read anew each time a key is opened.

#include <cstdint>
#include <memory>
#include <string>

#include "timezones/InMemoryZoneSource.h"
#include "timezones/Tzdb.h"
#include "timezones/ZoneRecordSource.h"

class TzdbZoneSource : public ZoneRecordSource {
public:
    explicit TzdbZoneSource(std::string directory = TzdbDirectory());

    ZoneStatus OpenCatalogue(const std::string& keyPath,
                             std::unique_ptr<ZoneCatalogueKey>& catalogue) const override;
    ZoneStatus OpenCurrentZoneInfo(std::unique_ptr<ZoneKey>& info) const override;

private:
    std::string m_Directory;
};

// The record of one zone id, as described above.
ZoneRecord TzdbZoneRecord(const std::string& id);

// "(UTC+hh:mm) <id>" for an offset east of Greenwich in seconds, "(UTC-hh:mm) <id>" west of it.
std::string ZoneDisplayText(const std::string& id, int32_t offsetSeconds);

// The source that LoadTimeZones and FindCurrentTimeZone use without an argument: a
// TzdbZoneSource unless replaced (tests replace it; null restores the default). Thread-safe.
std::shared_ptr<const ZoneRecordSource> DefaultZoneSource();
void SetDefaultZoneSource(std::shared_ptr<const ZoneRecordSource> source);
