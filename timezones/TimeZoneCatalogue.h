// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The system's time zones in source order; a zone the source cannot read is logged and left out.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "timezones/TimeZoneEntry.h"
#include "timezones/ZoneSource.h"

class TimeZoneCatalogue {
public:
    // An empty catalogue of the zones of `source`, which must outlive it.
    explicit TimeZoneCatalogue(const ZoneSource& source) : m_Source(&source) {}

    // Refills the catalogue from the source; entry k has Index k.
    void LoadTimeZones();

    // Index of the first entry whose Std equals the current zone's byte for byte, or -1; a
    // failure to read the current zone is logged at level Error.
    int32_t FindCurrentTimeZone() const;

    // The first entry whose Index is n, or null.
    const TimeZoneEntry* FindTimeZoneByIndex(int32_t n) const;

    const std::vector<TimeZoneEntry>& Entries() const { return m_Entries; }
    size_t size() const { return m_Entries.size(); }
    bool empty() const { return m_Entries.empty(); }
    std::vector<TimeZoneEntry>::const_iterator begin() const { return m_Entries.begin(); }
    std::vector<TimeZoneEntry>::const_iterator end() const { return m_Entries.end(); }
    const TimeZoneEntry& operator[](size_t position) const { return m_Entries[position]; }
    void clear() { m_Entries.clear(); }

private:
    const ZoneSource* m_Source;
    std::vector<TimeZoneEntry> m_Entries;
};
