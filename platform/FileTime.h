// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Windows-style timestamps: FILETIME counts and SYSTEMTIME calendar fields.
//
// A FILETIME is an unsigned 64-bit count of 100-nanosecond intervals since
// 1601-01-01 00:00:00 (proleptic Gregorian calendar), stored as two 32-bit halves.

#include <cstdint>

struct FILETIME {
    uint32_t dwLowDateTime = 0;
    uint32_t dwHighDateTime = 0;
};

struct SYSTEMTIME {
    uint16_t wYear = 0;
    uint16_t wMonth = 0;
    uint16_t wDayOfWeek = 0;  // 0 = Sunday
    uint16_t wDay = 0;
    uint16_t wHour = 0;
    uint16_t wMinute = 0;
    uint16_t wSecond = 0;
    uint16_t wMilliseconds = 0;
};

// 100-nanosecond units in one second and in one minute.
constexpr int64_t kFileTimeUnitsPerSecond = 10000000;
constexpr int64_t kFileTimeUnitsPerMinute = 600000000;

// The two halves as one count, and back.
uint64_t FileTimeToCount(const FILETIME& ft);
FILETIME CountToFileTime(uint64_t count);

// Converts calendar fields to a count. Fails (returns false, *ft untouched) when the year lies
// outside 1601..30827, the month outside 1..12, the day outside its month (Gregorian leap years),
// hour > 23, minute > 59, second > 59 or milliseconds > 999. wDayOfWeek is ignored.
bool SystemTimeToFileTime(const SYSTEMTIME& st, FILETIME* ft);

// Six calendar fields (year, month, day, hour, minute, second), each stored in its 16-bit field
// as a cast stores it, as one count. Fails as SystemTimeToFileTime does.
bool CalendarFieldsToFileTime(const int (&fields)[6], FILETIME* ft);

// Converts a count to calendar fields, day of week included. Fails (returns false, *st untouched)
// for counts of 2^63 and above.
bool FileTimeToSystemTime(const FILETIME& ft, SYSTEMTIME* st);

// The FILETIME count of a POSIX time (seconds and nanoseconds since 1970-01-01 UTC).
// Times before 1601 give 0.
uint64_t FileTimeCountFromUnix(int64_t seconds, int64_t nanoseconds);
