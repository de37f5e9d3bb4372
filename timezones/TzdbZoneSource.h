// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The time zones of a Linux system: its time zone database.
//
// One zone per zone that the database lists (see CatalogueZoneIds), sorted by id, each named by
// its id, with Bias = minus the standard offset in minutes (see StandardOffsetSeconds), Display
// "(UTC+01:00) Europe/Berlin" (the standard offset, then the id) and Std = the id. A listed zone
// whose offset cannot be read fails with "Failure in QueryBinaryValue.\n". The current zone is
// the catalogue zone that the system runs in. The database is read anew at each call.

#include <cstdint>
#include <string>

#include "timezones/Tzdb.h"
#include "timezones/ZoneSource.h"

class TzdbZoneSource : public ZoneSource {
public:
    explicit TzdbZoneSource(std::string directory = TzdbDirectory());

    std::vector<ZoneReading> ReadZones() const override;
    CurrentZoneReading ReadCurrentZone() const override;

private:
    std::string m_Directory;
};

// The zone of one id, as described above.
ZoneReading ReadTzdbZone(const std::string& id);

// "(UTC+hh:mm) <id>" for an offset east of Greenwich in seconds, "(UTC-hh:mm) <id>" west of it.
std::string ZoneDisplayText(const std::string& id, int32_t offsetSeconds);

// The program's zone source: the system's time zone database.
const ZoneSource& SystemZoneSource();
