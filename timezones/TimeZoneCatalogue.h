// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The catalogue of the system's time zones, in the order in which its zone source lists them,
// and recognition of the system's current zone.
//
// A zone that its source could not read is left out, and the source's failure text ("Failure in
// Open.\n", "Failure in QueryBinaryValue.\n" or "Failure in QueryStringValue.\n") is written to
// the Log at level Error. Entry k always has Index k, so a zone left out takes no number.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "timezones/TimeZoneEntry.h"
#include "timezones/ZoneSource.h"

class TimeZoneCatalogue {
public:
    // An empty catalogue of the zones of `source`, which must outlive it.
    explicit TimeZoneCatalogue(const ZoneSource& source) : m_Source(&source) {}

    // Empties the catalogue and fills it from the source, tracing each zone's name.
    void LoadTimeZones();

    // Index of the first entry whose Std equals the system's current standard name byte for byte
    // (case-sensitive), or -1. Stores nothing. When the current zone cannot be read it writes
    // the source's failure text ("Failure in Open.\n" or "Failure in GetStringValue") to the Log
    // at level Error and returns -1.
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
