// SPDX-License-Identifier: GPL-3.0-or-later
#include "timezones/TzdbZoneSource.h"

#include <cstdlib>

#include "platform/NumberText.h"

TzdbZoneSource::TzdbZoneSource(std::string directory) : m_Directory(std::move(directory)) {}

std::vector<ZoneReading> TzdbZoneSource::ReadZones() const {
    std::vector<ZoneReading> zones;
    for (const std::string& id : CatalogueZoneIds(m_Directory)) {
        zones.push_back(ReadTzdbZone(id));
    }
    return zones;
}

CurrentZoneReading TzdbZoneSource::ReadCurrentZone() const {
    CurrentZoneReading current;
    current.standardName =
        CatalogueZoneIdFor(SystemZoneId(), CatalogueZoneIds(m_Directory), m_Directory);
    return current;
}

ZoneReading ReadTzdbZone(const std::string& id) {
    ZoneReading zone;
    zone.name = id;
    const std::optional<int32_t> offset = StandardOffsetSeconds(id);
    if (!offset) {
        zone.failure = kFailureInQueryBinaryValue;
        return zone;
    }
    zone.entry.Bias = -*offset / 60;
    zone.entry.Display = ZoneDisplayText(id, *offset);
    zone.entry.Std = id;
    return zone;
}

std::string ZoneDisplayText(const std::string& id, int32_t offsetSeconds) {
    const int32_t minutes = std::abs(offsetSeconds) / 60;
    return FormatC(16, "(UTC%c%02d:%02d) ", offsetSeconds < 0 ? '-' : '+', minutes / 60,
                   minutes % 60) +
           id;
}

const ZoneSource& SystemZoneSource() {
    static const TzdbZoneSource* source = new TzdbZoneSource();
    return *source;
}
