// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The zones of the system's time zone database, read anew at each call, by catalogue id: Std = id,
// Bias = minus the standard offset in minutes, Display = ZoneDisplayText.

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

// One id's zone; "Failure in QueryBinaryValue.\n" when its offset cannot be read.
ZoneReading ReadTzdbZone(const std::string& id);

// "(UTC+hh:mm) <id>", or "(UTC-hh:mm) <id>" west of Greenwich; the offset in seconds.
std::string ZoneDisplayText(const std::string& id, int32_t offsetSeconds);

// The program's zone source: the system's time zone database.
const ZoneSource& SystemZoneSource();
