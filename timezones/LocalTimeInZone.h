// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A local time in a named zone, read with the zone's full rules. A time in the skipped hour takes
// the offset before the change; one in the repeated hour, its first (summer time) occurrence.

#include <cstdint>
#include <optional>
#include <string>

struct ZoneOffset {
    int32_t offsetSeconds = 0;  // east of Greenwich positive: UTC = local time - offset
    bool summerTime = false;    // the offset is the zone's daylight-saving one
};

// The offset of IANA zone `zoneId` at `localSeconds` (since 1970-01-01 00:00 local); empty when
// the system does not know the zone.
std::optional<ZoneOffset> OffsetAtLocalTime(const std::string& zoneId, int64_t localSeconds);

bool IsKnownZone(const std::string& zoneId);
