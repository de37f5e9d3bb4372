// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading a local date and time in a named zone with the zone's full rules: summer time and every
// historical change of offset, as the system's time zone database records them.
//
// Two local times need a rule of their own:
// - A time in the hour skipped when the clocks go forward (02:30 on the spring day in Berlin) is
//   read with the offset in force before the change, as a camera clock that has not yet sprung
//   forward shows it: 02:30 in Berlin on 31 March 2024 is 01:30 UTC.
// - A time in the hour repeated when the clocks go back is read as its first occurrence, the one
//   still on summer time: 02:30 in Berlin on 27 October 2024 is 00:30 UTC, not 01:30.

#include <cstdint>
#include <optional>
#include <string>

struct ZoneOffset {
    int32_t offsetSeconds = 0;  // east of Greenwich positive: UTC = local time - offset
    bool summerTime = false;    // the offset is the zone's daylight-saving one
};

// The offset of zone `zoneId` (an IANA name such as "Europe/Berlin") at the local time
// `localSeconds`, counted in seconds since 1970-01-01 00:00 of the local calendar, with the two
// rules above. Empty when the zone is not known to the system.
std::optional<ZoneOffset> OffsetAtLocalTime(const std::string& zoneId, int64_t localSeconds);

// Whether the system knows the zone `zoneId`.
bool IsKnownZone(const std::string& zoneId);
