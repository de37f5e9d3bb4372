// SPDX-License-Identifier: GPL-3.0-or-later
#include "track/gpx/reader/GpxTime.h"

#include <cctype>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/NumberText.h"
#include "platform/Tokenize.h"

namespace {

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Reads exactly two digits at `at` into `value`.
bool TwoDigits(const char*& at, int& value) {
    if (!IsDigit(at[0]) || !IsDigit(at[1])) {
        return false;
    }
    value = (at[0] - '0') * 10 + (at[1] - '0');
    at += 2;
    return true;
}

// The zone offset in minutes east of UTC written after the seconds at `seconds`: digits, an
// optional fraction, then "+hh:mm", "+hhmm" or "+hh" (or with "-") and nothing else but white
// space. Zero for "Z", for no zone and for anything that is not such an offset.
int ZoneOffsetMinutes(const char* seconds) {
    const char* at = seconds;
    while (IsDigit(*at)) {
        ++at;
    }
    if (*at == '.') {
        for (++at; IsDigit(*at); ++at) {
        }
    }
    if (*at != '+' && *at != '-') {
        return 0;
    }
    const int sign = *at++ == '-' ? -1 : 1;
    int hours = 0;
    int minutes = 0;
    if (!TwoDigits(at, hours)) {
        return 0;
    }
    if (*at == ':') {
        ++at;
        if (!TwoDigits(at, minutes)) {
            return 0;
        }
    } else if (IsDigit(*at) && !TwoDigits(at, minutes)) {
        return 0;
    }
    while (std::isspace(static_cast<unsigned char>(*at)) != 0) {
        ++at;
    }
    if (*at != '\0' || hours > 23 || minutes > 59) {
        return 0;
    }
    return sign * (hours * 60 + minutes);
}

// The fraction of a second written after the seconds at `seconds` (".250" in "05.250"), in
// 100-ns units; digits past the seventh are cut off.
int64_t FractionUnits(const char* seconds) {
    const char* at = seconds;
    while (IsDigit(*at)) {
        ++at;
    }
    if (*at != '.') {
        return 0;
    }
    int64_t units = 0;
    int64_t scale = kFileTimeUnitsPerSecond;
    for (++at; IsDigit(*at) && scale > 1; ++at) {
        scale /= 10;
        units += (*at - '0') * scale;
    }
    return units;
}

FILETIME ShiftToUtc(const FILETIME& local, int offsetMinutes) {
    const uint64_t count = FileTimeToCount(local);
    if (count == 0 || offsetMinutes == 0) {
        return local;
    }
    const int64_t shifted =
        static_cast<int64_t>(count) - int64_t{offsetMinutes} * kFileTimeUnitsPerMinute;
    return shifted > 0 ? CountToFileTime(static_cast<uint64_t>(shifted)) : FILETIME{};
}

}  // namespace

std::optional<FILETIME> ParseGpxTime(const char* text) {
    std::vector<char> copy(text, text + std::strlen(text) + 1);
    static const char kDelimiters[] = "TZ-: ,\t\n";
    char* state = nullptr;
    int fields[6];
    const char* seconds = nullptr;
    char* token = StrTok(copy.data(), kDelimiters, &state);
    for (int& field : fields) {
        if (token == nullptr) {
            return std::nullopt;
        }
        field = CrtAtoi(token);
        seconds = text + (token - copy.data());
        token = StrTok(nullptr, kDelimiters, &state);
    }
    FILETIME local;
    if (!CalendarFieldsToFileTime(fields, &local)) {
        return FILETIME{};
    }
    local = CountToFileTime(FileTimeToCount(local) + static_cast<uint64_t>(FractionUnits(seconds)));
    return ShiftToUtc(local, ZoneOffsetMinutes(seconds));
}
