// SPDX-License-Identifier: GPL-3.0-or-later
#include "timezones/TimeZoneCatalogue.h"

#include <string>

#include "platform/DebugOutput.h"
#include "platform/Log.h"

void TimeZoneCatalogue::LoadTimeZones() {
    m_Entries.clear();
    size_t failed = 0;
    for (ZoneReading& zone : m_Source->ReadZones()) {
        if (zone.failure != nullptr) {
            Log::Instance().WriteAndTrace(Error, zone.failure);
            ++failed;
            continue;
        }
        zone.entry.Index = static_cast<int32_t>(m_Entries.size());
        m_Entries.push_back(std::move(zone.entry));
    }
    OutputDebugStringA("Time zones: " + std::to_string(m_Entries.size()) + " read" +
                       (failed > 0 ? ", " + std::to_string(failed) + " unreadable" : "") + "\n");
}

int32_t TimeZoneCatalogue::FindCurrentTimeZone() const {
    const CurrentZoneReading current = m_Source->ReadCurrentZone();
    if (current.failure != nullptr) {
        Log::Instance().Write(Error, current.failure);
        return -1;
    }
    for (const TimeZoneEntry& entry : m_Entries) {
        if (entry.Std == current.standardName) {
            return entry.Index;
        }
    }
    return -1;
}

const TimeZoneEntry* TimeZoneCatalogue::FindTimeZoneByIndex(int32_t n) const {
    for (const TimeZoneEntry& entry : m_Entries) {
        if (entry.Index == n) {
            return &entry;
        }
    }
    return nullptr;
}
