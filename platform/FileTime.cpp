// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileTime.h"

namespace {

constexpr int64_t kSecondsPerDay = 86400;
// Days from 1601-01-01 to 1970-01-01.
constexpr int64_t kDaysFrom1601To1970 = 134774;

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's days_from_civil).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

struct CivilDate {
    int64_t year;
    int month;
    int day;
};

// Inverse of DaysFromCivil.
CivilDate CivilFromDays(int64_t z) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {yoe + era * 400 + (month <= 2), month, day};
}

bool IsValidSystemTime(const SYSTEMTIME& st) {
    return st.wYear >= 1601 && st.wYear <= 30827 && st.wMonth >= 1 && st.wMonth <= 12 &&
           st.wDay >= 1 && st.wDay <= DaysInMonth(st.wYear, st.wMonth) && st.wHour <= 23 &&
           st.wMinute <= 59 && st.wSecond <= 59 && st.wMilliseconds <= 999;
}

}  // namespace

uint64_t FileTimeToCount(const FILETIME& ft) {
    return (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

FILETIME CountToFileTime(uint64_t count) {
    FILETIME ft;
    ft.dwLowDateTime = static_cast<uint32_t>(count & 0xFFFFFFFFu);
    ft.dwHighDateTime = static_cast<uint32_t>(count >> 32);
    return ft;
}

bool SystemTimeToFileTime(const SYSTEMTIME& st, FILETIME* ft) {
    if (ft == nullptr || !IsValidSystemTime(st)) {
        return false;
    }
    const int64_t days = DaysFromCivil(st.wYear, st.wMonth, st.wDay) + kDaysFrom1601To1970;
    const int64_t seconds = days * kSecondsPerDay + st.wHour * 3600 + st.wMinute * 60 + st.wSecond;
    const int64_t count = seconds * kFileTimeUnitsPerSecond + st.wMilliseconds * int64_t{10000};
    *ft = CountToFileTime(static_cast<uint64_t>(count));
    return true;
}

bool FileTimeToSystemTime(const FILETIME& ft, SYSTEMTIME* st) {
    const uint64_t count = FileTimeToCount(ft);
    if (st == nullptr || count >= (uint64_t{1} << 63)) {
        return false;
    }
    const int64_t totalMs = static_cast<int64_t>(count / 10000);
    const int64_t days = totalMs / (kSecondsPerDay * 1000);
    const int64_t msOfDay = totalMs % (kSecondsPerDay * 1000);
    const CivilDate date = CivilFromDays(days - kDaysFrom1601To1970);
    SYSTEMTIME out;
    out.wYear = static_cast<uint16_t>(date.year);
    out.wMonth = static_cast<uint16_t>(date.month);
    out.wDay = static_cast<uint16_t>(date.day);
    // 1601-01-01 was a Monday.
    out.wDayOfWeek = static_cast<uint16_t>((days + 1) % 7);
    out.wHour = static_cast<uint16_t>(msOfDay / 3600000);
    out.wMinute = static_cast<uint16_t>(msOfDay / 60000 % 60);
    out.wSecond = static_cast<uint16_t>(msOfDay / 1000 % 60);
    out.wMilliseconds = static_cast<uint16_t>(msOfDay % 1000);
    *st = out;
    return true;
}

bool CalendarFieldsToFileTime(const int (&fields)[6], FILETIME* ft) {
    SYSTEMTIME st;
    st.wYear = static_cast<uint16_t>(fields[0]);
    st.wMonth = static_cast<uint16_t>(fields[1]);
    st.wDay = static_cast<uint16_t>(fields[2]);
    st.wHour = static_cast<uint16_t>(fields[3]);
    st.wMinute = static_cast<uint16_t>(fields[4]);
    st.wSecond = static_cast<uint16_t>(fields[5]);
    return SystemTimeToFileTime(st, ft);
}

uint64_t FileTimeCountFromUnix(int64_t seconds, int64_t nanoseconds) {
    const int64_t since1601 = seconds + kDaysFrom1601To1970 * kSecondsPerDay;
    if (since1601 < 0) {
        return 0;
    }
    return static_cast<uint64_t>(since1601) * kFileTimeUnitsPerSecond +
           static_cast<uint64_t>(nanoseconds / 100);
}
