// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the time zone catalogue comes from: the zones a system knows, and the one it runs in.

#include <string>
#include <vector>

#include "timezones/TimeZoneEntry.h"

// Why a zone, or the current zone, could not be read; logged as it stands.
inline constexpr char kFailureInOpen[] = "Failure in Open.\n";
inline constexpr char kFailureInQueryBinaryValue[] = "Failure in QueryBinaryValue.\n";
inline constexpr char kFailureInQueryStringValue[] = "Failure in QueryStringValue.\n";
inline constexpr char kFailureInGetStringValue[] = "Failure in GetStringValue";

struct ZoneReading {
    std::string name;               // the zone's name in the source, traced as it is read
    TimeZoneEntry entry;            // Bias, Display and Std; the catalogue numbers the zones
    const char* failure = nullptr;  // one of the texts above when the zone could not be read
};

struct CurrentZoneReading {
    std::string standardName;       // the Std of the zone the system runs in
    const char* failure = nullptr;  // one of the texts above when it could not be read
};

class ZoneSource {
public:
    virtual ~ZoneSource() = default;
    // Every zone, in the order the catalogue lists them.
    virtual std::vector<ZoneReading> ReadZones() const = 0;
    virtual CurrentZoneReading ReadCurrentZone() const = 0;
};
