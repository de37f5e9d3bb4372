#pragma once
// The catalogue of the system's time zones, in the order in which the zone record source
// enumerates them, and recognition of the system's current zone.
//
// A zone is read in the order "TZI", "Display", "Std"; the first failure leaves that zone out and
// writes its message ("Failure in Open.\n", "Failure in QueryBinaryValue.\n" or
// "Failure in QueryStringValue.\n") to the Log at level Error. Entry k always has Index k, so a
// zone left out takes no number. Loading never fails as a whole: a catalogue that cannot be
// opened, or an enumeration error, ends loading with the zones read so far.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "timezones/TimeZoneEntry.h"
#include "timezones/ZoneRecordSource.h"

class TimeZoneCatalogue {
public:
    // Empties the catalogue and fills it from `source`; without an argument from the system's
    // source (DefaultZoneSource()).
    void LoadTimeZones(const ZoneRecordSource& source);
    void LoadTimeZones();

    // Index of the first entry whose Std equals the system's current standard name byte for byte
    // (case-sensitive), or -1. On a match it writes TZIndex (section Settings) through
    // AppProfile(); otherwise it writes nothing. When the current zone cannot be read it writes
    // "Failure in Open.\n" or "Failure in GetStringValue" to the Log at level Error and returns -1.
    int32_t FindCurrentTimeZone(const ZoneRecordSource& source) const;
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
    std::vector<TimeZoneEntry> m_Entries;
};

// True when the operating system's major version (on Linux the kernel's) is 5 or higher. It
// chooses between the two catalogue paths of ZoneRecordSource.h.
bool IsVersion5OrLater();

// Most positions that loading enumerates, so that a source that never reports the end cannot
// keep it going.
inline constexpr uint32_t kMaxZonePositions = 65536;
