// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Windows-style timestamps: FILETIME, an unsigned count of 100 ns since 1601-01-01 00:00:00 in
// two 32-bit halves, and SYSTEMTIME calendar fields.

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

constexpr int64_t kFileTimeUnitsPerSecond = 10000000;
constexpr int64_t kFileTimeUnitsPerMinute = 600000000;

// The two halves as one count, and back.
uint64_t FileTimeToCount(const FILETIME& ft);
FILETIME CountToFileTime(uint64_t count);

// False, *ft untouched, for a year outside 1601..30827 or any field out of its calendar range.
// wDayOfWeek is ignored.
bool SystemTimeToFileTime(const SYSTEMTIME& st, FILETIME* ft);

// Year, month, day, hour, minute, second, each cast to 16 bits; fails as SystemTimeToFileTime.
bool CalendarFieldsToFileTime(const int (&fields)[6], FILETIME* ft);

// Fills every field, day of week included; false, *st untouched, for counts of 2^63 and above.
bool FileTimeToSystemTime(const FILETIME& ft, SYSTEMTIME* st);

// The count of a POSIX time; times before 1601 give 0.
uint64_t FileTimeCountFromUnix(int64_t seconds, int64_t nanoseconds);
